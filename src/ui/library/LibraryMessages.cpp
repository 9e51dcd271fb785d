#include "ui/library/LibraryMessages.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "res/StringTable.h"
#include "store/DiskThread.h"
#include "ui/library/FieldText.h"
#include "ui/library/Utf8Consent.h"
#include "ui/platform/DiskWait.h"
#include "ui/platform/FileErrorText.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/TextConvert.h"

namespace mopira {

namespace {

// Enough to find them; the count says how many there are.
constexpr std::size_t kListedTexts = 10;

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

}  // namespace

CLibraryMessages::CLibraryMessages(CLibraryDocument& document, QWidget* parent)
    : QObject(parent), m_document(document), m_pParent(parent) {
    connect(&document, &CLibraryDocument::loaded, this, &CLibraryMessages::OnLoaded);
    connect(&document, &CLibraryDocument::saveFailed, this, &CLibraryMessages::OnSaveFailed);
    connect(&document, &CLibraryDocument::saved, this, &CLibraryMessages::OnSaved);
    connect(&document, &CLibraryDocument::reloaded, this, &CLibraryMessages::OnReloaded);
    connect(&document, &CLibraryDocument::suspiciousChange, this,
            &CLibraryMessages::OnSuspiciousChange);
    connect(&document, &CLibraryDocument::copyMerged, this, &CLibraryMessages::OnCopyMerged);
    connect(&document, &CLibraryDocument::copyWaiting, this, &CLibraryMessages::OnCopyWaiting);
    connect(&document, &CLibraryDocument::copyUnreadable, this,
            [this](const QString& path, const FileError& error) {
                ShowMessage(
                    m_pParent,
                    res::kCopyUnreadable.toString().arg(Shown(path), DescribeFileError(error)),
                    MessageButtons::Ok, MessageIcon::Warning);
            });
    connect(&document, &CLibraryDocument::keywordsSaveFailed, this,
            [this](const QString& path, const FileError& error) {
                ShowMessage(
                    m_pParent,
                    res::kKeywordsSaveFailed.toString().arg(Shown(path), DescribeFileError(error)),
                    MessageButtons::Ok, MessageIcon::Warning);
            });
    connect(&document, &CLibraryDocument::recoveryKept, this, [this](const QString& path) {
        ShowMessage(m_pParent, res::kRecoveryKept.toString().arg(Shown(path)), MessageButtons::Ok,
                    MessageIcon::Information);
    });
}

QString CLibraryMessages::ReadOnlyTip() const {
    switch (m_document.Access()) {
        case LibraryAccess::Unreadable:
            return res::kLibraryReadOnlyTip.toString();
        case LibraryAccess::FileReadOnly:
            return res::kFileReadOnlyTip.toString();
        case LibraryAccess::FolderReadOnly:
            return res::kFolderReadOnlyTip.toString();
        case LibraryAccess::Writable:
            break;
    }
    return {};
}

void CLibraryMessages::OnLoaded() {
    switch (m_document.Access()) {
        case LibraryAccess::Unreadable:
            ShowMessage(m_pParent,
                        res::kLibraryUnreadable.toString().arg(
                            Shown(m_document.Path()), DescribeFileError(m_document.ReadError())),
                        MessageButtons::Ok, MessageIcon::Stop);
            return;
        case LibraryAccess::FileReadOnly:
            ShowMessage(m_pParent,
                        res::kFileReadOnlyMessage.toString().arg(Shown(m_document.Path())),
                        MessageButtons::Ok, MessageIcon::Warning);
            return;
        case LibraryAccess::FolderReadOnly:
            ShowMessage(m_pParent,
                        res::kFolderReadOnly.toString().arg(Shown(m_document.Directory())),
                        MessageButtons::Ok, MessageIcon::Warning);
            return;
        case LibraryAccess::Writable:
            break;
    }
    // After the window has shown the library.
    QTimer::singleShot(0, this, &CLibraryMessages::OfferRecovery);
}

void CLibraryMessages::OnSaveFailed(const SaveFailure& failure) {
    m_bFailureTold = true;
    if (!failure.waiting.empty()) {
        ShowMessage(m_pParent,
                    res::kSaveWaiting.toString().arg(
                        ToDisplayString(failure.waiting, failure.charset), Shown(failure.path)),
                    MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    ShowMessage(
        m_pParent,
        res::kSaveFailed.toString().arg(Shown(failure.path), DescribeFileError(failure.error)),
        MessageButtons::Ok, MessageIcon::Stop);
}

void CLibraryMessages::OnSaved() {
    if (m_bFailureTold) {
        // What was told to wait is saved now.
        m_bFailureTold = false;
        ShowMessage(m_pParent, res::kSavedAgain.toString(), MessageButtons::Ok,
                    MessageIcon::Information);
    }
}

void CLibraryMessages::OnReloaded(const std::vector<std::string>& missing) {
    if (missing.empty()) {
        return;
    }
    QStringList names;
    for (std::size_t i = 0; i < missing.size() && i < kListedTexts; ++i) {
        names.append(ToDisplayString(missing[i], m_document.Library().GetCharset()));
    }
    ShowMessage(m_pParent,
                res::kChangesNotApplied.toString().arg(ListFirstItems(names, missing.size())),
                MessageButtons::Ok, MessageIcon::Warning);
}

void CLibraryMessages::OnCopyMerged(const QString&, const MergeSummary& summary) {
    QString line = res::kCopyMerged.toString().arg(summary.added).arg(summary.removed);
    if (summary.moved > 0) {
        line += res::kCopyMergedMoved.toString().arg(summary.moved);
    }
    ShowMessage(m_pParent, line, MessageButtons::Ok, MessageIcon::Information);
}

void CLibraryMessages::OnCopyWaiting(const QString& path, const std::vector<MergeRefusal>& refused,
                                     Charset charset) {
    QStringList names;
    bool invalid = false;
    for (const MergeRefusal& refusal : refused) {
        invalid = invalid || refusal.problem == MergeProblem::InvalidBytes;
    }
    for (std::size_t i = 0; i < refused.size() && i < kListedTexts; ++i) {
        names.append(ToDisplayString(refused[i].text, charset));
    }
    const QString list = ListFirstItems(names, refused.size());
    if (invalid) {
        // No encoding takes bytes that are no character: the copy stays for its owner to see.
        ShowMessage(m_pParent, res::kCopyInvalid.toString().arg(list, Shown(path)),
                    MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    ShowMessage(m_pParent, res::kCopyWaiting.toString().arg(list, Shown(path)), MessageButtons::Ok,
                MessageIcon::Warning);
    OfferUtf8(m_pParent, m_document);  // merged by the save the conversion starts
}

void CLibraryMessages::OnSuspiciousChange(const SuspiciousChange& change) {
    QString what;
    switch (change.kind) {
        case SuspiciousChange::Kind::Empty:
            what = res::kSuspiciousEmpty.toString();
            break;
        case SuspiciousChange::Kind::NotALibrary:
            what = res::kSuspiciousNotALibrary.toString();
            break;
        case SuspiciousChange::Kind::MostGone:
            what = res::kSuspiciousMostGone.toString()
                       .arg(change.libraryRecords)
                       .arg(change.missingRecords);
            break;
    }
    const MessageAnswer answer = ShowChoice(
        m_pParent, res::kSuspiciousQuestion.toString().arg(what, Shown(m_document.Path())),
        res::kSuspiciousWriteBack.toString(), res::kSuspiciousTakeFile.toString(),
        MessageIcon::Warning);
    m_document.Resolve(answer == MessageAnswer::Yes ? SuspiciousChoice::WriteLibrary
                                                    : SuspiciousChoice::TakeFile);
}

void CLibraryMessages::OfferRecovery() {
    for (const QString& path : m_document.RecoveryFiles()) {
        if (ShowMessage(m_pParent, res::kRecoveryOffer.toString().arg(Shown(path)),
                        MessageButtons::YesNo, MessageIcon::Question) != MessageAnswer::Yes) {
            continue;  // it stays, and is offered again next time
        }
        std::shared_ptr<CFaceLibrary> kept = WaitForDisk(m_document.DiskThread(), [path] {
            auto library = std::make_shared<CFaceLibrary>();
            FileContent content = ReadWholeFile(path);
            library->AdoptFaceList(std::move(content.bytes));
            return library;
        });
        const CFaceLibrary& library = m_document.Library();
        AddFaces add;
        kept->ForEachRecord([&](RecordId id) {
            const std::string text(kept->Text(id));
            const EncodeResult converted =
                library.GetCharset().FromUtf8(kept->GetCharset().ToUtf8(text));
            if (!converted.Ok() || !library.FindRecord(converted.bytes)) {
                add.faces.push_back({text, kept->Folder(id)});
            }
        });
        const std::size_t count = add.faces.size();
        if (count > 0 && m_document.Change(add, kept->GetCharset()).waiting) {
            continue;  // the library cannot hold them yet; offered again next time
        }
        if (!m_document.Flush().failed) {
            QFile::remove(path);
            ShowMessage(m_pParent, res::kRecoveryTaken.toString().arg(count), MessageButtons::Ok,
                        MessageIcon::Information);
        }
    }
}

void CLibraryMessages::SettleBeforeClosing(QWidget* parent, CLibraryDocument& document,
                                           CloseQuestion question) {
    for (;;) {
        const CLibraryDocument::SaveState state = document.Flush();
        if (!state.failed || !document.HasUnsavedChanges()) {
            return;
        }
        if (question == CloseQuestion::Never) {
            QString path;
            document.KeepRecovery(path);
            return;
        }
        const SaveFailure* failure = document.Failure();
        const QString reason =
            failure ? DescribeFileError(failure->error) : res::kCloseNotSavedYet.toString();
        if (ShowChoice(parent, res::kCloseUnsaved.toString().arg(Shown(document.Path()), reason),
                       res::kCloseRetry.toString(), res::kCloseKeep.toString(),
                       MessageIcon::Warning) == MessageAnswer::Yes) {
            continue;
        }
        QString path;
        const FileError kept = document.KeepRecovery(path);
        if (!kept.Failed()) {
            ShowMessage(parent, res::kRecoveryKept.toString().arg(Shown(path)), MessageButtons::Ok,
                        MessageIcon::Information);
            return;
        }
        // Nothing can be written anywhere: the user alone may let the changes go.
        if (ShowChoice(parent, res::kCloseKeepFailed.toString().arg(DescribeFileError(kept)),
                       res::kCloseRetry.toString(), res::kCloseDiscard.toString(),
                       MessageIcon::Stop) == MessageAnswer::No) {
            return;
        }
    }
}

}  // namespace mopira
