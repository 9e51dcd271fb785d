#include "ui/library/ListActions.h"

#include <QDir>
#include <QEventLoop>
#include <QInputDialog>
#include <QMenu>
#include <QProgressDialog>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <memory>
#include <numeric>

#include "core/app/ControlIds.h"
#include "core/library/KeywordTable.h"
#include "core/library/LibraryEdit.h"
#include "res/StringTable.h"
#include "store/DiskThread.h"
#include "store/ExchangeFile.h"
#include "store/LibraryDocument.h"
#include "ui/controls/SortListCtrl.h"
#include "ui/controls/TipToolBar.h"
#include "ui/library/AddFaceDlg.h"
#include "ui/library/DictionaryFormatDlg.h"
#include "ui/library/FaceExchange.h"
#include "ui/library/FaceListModel.h"
#include "ui/library/FieldText.h"
#include "ui/library/LibraryMessages.h"
#include "ui/library/ListFinder.h"
#include "ui/library/ListPage.h"
#include "ui/library/MoveDlg.h"
#include "ui/library/PropertyDlg.h"
#include "ui/library/Utf8Consent.h"
#include "ui/platform/DiskWait.h"
#include "ui/platform/FileDialog.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/ModalSeam.h"
#include "ui/platform/ReadingProposer.h"
#include "ui/platform/TextConvert.h"

namespace mopira {

namespace {

// How soon a long import shows its progress, and how often the progress is looked at.
constexpr int kProgressDelayMs = 500;
constexpr int kProgressTickMs = 50;

// Lets the window run until `done()` holds. After half a second a progress dialog shows how
// far `progress` has come (or that something runs, without it); its Cancel asks the work to
// stop. Returns false when the user cancelled.
bool WaitWithProgress(QWidget* parent, const QString& label, const std::function<bool()>& done,
                      ImportProgress* progress) {
    if (done()) {
        return true;
    }
    const int total = progress ? static_cast<int>(progress->total) : 0;
    QProgressDialog dialog(label, res::kCancel.toString(), 0, total, parent);
    dialog.setObjectName(QStringLiteral("m_progress"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(kProgressDelayMs);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    bool cancelled = false;
    QEventLoop loop;
    QObject::connect(&dialog, &QProgressDialog::canceled, &loop, [&] {
        cancelled = true;
        if (progress) {
            progress->cancel = true;  // the work stops at its next line and writes nothing
        } else {
            loop.quit();
        }
    });
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done()) {
            loop.quit();
            return;
        }
        dialog.setValue(progress ? static_cast<int>(progress->applied.load()) : 0);
    });
    tick.start(kProgressTickMs);
    loop.exec();
    return !cancelled;
}

// What the disk thread finds out about an import file before anything is asked.
struct ImportReadResult {
    ImportRead read;
    bool unfiled = false;
    bool needsUtf8 = false;
    bool notText = false;
};

}  // namespace

CListActions::CListActions(CLibraryDocument& document, CListPage& page, CTipToolBar& toolbar,
                           const CLibraryMessages& messages)
    : QObject(&page),
      m_document(document),
      m_page(page),
      m_tbarList(toolbar),
      m_messages(messages),
      m_library(document.Library()) {
    connect(&m_document, &CLibraryDocument::loaded, this, &CListActions::OnLibraryLoaded);
    CreateShortcuts();
}

QKeySequence CListActions::KeysOf(int command) {
    switch (command) {
        case id::kNewFace:
            return QKeySequence(Qt::Key_Insert);
        case id::kDelete:
            return QKeySequence(Qt::Key_Delete);
        case id::kProperties:
            return QKeySequence(Qt::Key_F2);
        case id::kMove:
            return QKeySequence(Qt::CTRL | Qt::Key_M);
        default:
            return {};
    }
}

void CListActions::CreateShortcuts() {
    const struct {
        QKeyCombination keys;
        int command;
    } keys[] = {
        {Qt::Key_Insert, id::kNewFace},
        {Qt::CTRL | Qt::Key_N, id::kNewFace},
        {Qt::Key_Delete, id::kDelete},
        {Qt::Key_F2, id::kProperties},
        {Qt::ALT | Qt::Key_Return, id::kProperties},
        {Qt::ALT | Qt::Key_Enter, id::kProperties},
        {Qt::CTRL | Qt::Key_M, id::kMove},
    };
    for (const auto& key : keys) {
        // Delete belongs to the search box while it has the focus; the others to the page.
        QWidget* owner = key.command == id::kDelete ? static_cast<QWidget*>(m_page.m_lstFace)
                                                    : static_cast<QWidget*>(&m_page);
        auto* shortcut = new QShortcut(QKeySequence(key.keys), owner);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, command = key.command] {
            // A key does what its button would: nothing while the button is off. Move takes
            // one emoticon too, though its button gives way to properties then.
            if (m_tbarList.IsButtonEnabled(command) &&
                (command == id::kMove || !m_tbarList.IsButtonHidden(command))) {
                m_page.OnCommand(command);
            }
        });
    }
}

void CListActions::OnLibraryLoaded() {
    if (m_document.CanChange()) {
        return;
    }
    // Copying and searching go on; every command that would write the file is off, and its
    // tip says why.
    m_tbarList.EnableButton(id::kNewFace, false);
    for (int command : {id::kNewFace, id::kDelete, id::kProperties, id::kMove}) {
        if (QToolButton* button = m_tbarList.ButtonFor(command)) {
            button->setToolTip(m_messages.ReadOnlyTip());
        }
    }
}

void CListActions::UpdateCommandStates(bool hasFace, int selected) {
    const bool changeable = hasFace && (!m_document.IsLoaded() || m_document.CanChange());
    m_tbarList.EnableButton(id::kDelete, changeable);
    m_tbarList.EnableButton(id::kProperties, changeable);
    m_tbarList.EnableButton(id::kMove, changeable);
    if (hasFace) {
        m_tbarList.HideButton(id::kProperties, selected != 1);
        m_tbarList.HideButton(id::kMove, selected == 1);
    }
}

void CListActions::ShowMenu(const QPoint& globalPos, bool fromKeyboard) {
    const QWidget* list = m_page.m_lstFace;
    if (!fromKeyboard && !QRect(list->mapToGlobal(QPoint()), list->size()).contains(globalPos)) {
        return;
    }
    QMenu menu(&m_page);
    // Each item shows its key, so the menu teaches the keys.
    auto add = [&menu](QStringView text, int command) {
        QString caption = text.toString();
        if (const QKeySequence keys = KeysOf(command); !keys.isEmpty()) {
            caption += QLatin1Char('\t') + keys.toString(QKeySequence::NativeText);
        }
        QAction* action = menu.addAction(caption);
        action->setData(command);
        return action;
    };
    QAction* copy = add(res::kCopyItem, id::kCopy);
    menu.setDefaultAction(copy);
    menu.addSeparator();
    QAction* added = add(res::kNewFaceItem, id::kNewFace);
    QAction* remove = add(res::kDeleteItem, id::kDelete);
    QAction* move = add(res::kMoveItem, id::kMove);
    QAction* properties = add(res::kPropertiesItem, id::kProperties);
    menu.addSeparator();
    QAction* import = add(res::kImportItem, id::kImport);
    add(res::kExportItem, id::kExport);
    add(res::kDictionaryItem, id::kExportDictionary);
    QAction* reading = add(res::kFolderReadingItem, id::kFolderReading);
    reading->setEnabled(!ReadingFolder().empty());

    const int selected = m_page.SelectedCount();
    if (selected == 0) {
        for (QAction* action : {copy, remove, move, properties}) {
            action->setEnabled(false);
        }
    }
    if (m_document.IsLoaded() && !m_document.CanChange()) {
        menu.setToolTipsVisible(true);
        for (QAction* action : {added, remove, move, properties, import, reading}) {
            action->setEnabled(false);
            action->setToolTip(m_messages.ReadOnlyTip());
        }
    }
    menu.removeAction(selected == 1 ? move : properties);
    QAction* chosen = nullptr;
    {
        // What the menu offers stands for the rows as they are.
        const CLibraryDocument::CHold hold = m_document.Hold();
        chosen = menu.exec(globalPos);
    }
    if (chosen) {
        m_page.OnCommand(chosen->data().toInt());
    }
}

QWidget* CListActions::Window() const {
    return m_page.window();
}

void CListActions::OnCommand(int command) {
    // The question before a library becomes UTF-8 is asked once in a command.
    m_utf8Answer.reset();
    switch (command) {
        case id::kNewFace:
            // An emoticon listed only among those copied last is offered for adding.
            OnNewFace(m_page.SelectedOutsideText(), m_library.GetCharset());
            break;
        case id::kDelete:
            OnDelete();
            break;
        case id::kProperties:
            OnProperties();
            break;
        case id::kMove:
            OnMove();
            break;
        case id::kImport:
            OnImport();
            break;
        case id::kExport:
            OnExport();
            break;
        case id::kExportDictionary:
            OnExportDictionary();
            break;
        case id::kFolderReading:
            OnFolderReading();
            break;
        default:
            break;
    }
}

void CListActions::AddFace(const std::string& face, Charset charset) {
    m_utf8Answer.reset();
    OnNewFace(face, charset);
}

bool CListActions::OfferUtf8() {
    if (!m_utf8Answer) {
        m_utf8Answer = mopira::OfferUtf8(Window(), m_document);
    }
    return m_library.GetCharset().GetEncoding() == Encoding::Utf8;
}

std::optional<std::string> CListActions::TakeText(QWidget* parent, const QString& text,
                                                  std::string_view original) {
    if (NeedsUtf8(text, original, m_library.GetCharset())) {
        // A conversion rewrites every record, so the original's bytes are gone; the text
        // differs from it anyway, having a character the original's charset lacks.
        OfferUtf8();
        return TakeFieldText(parent, text, {}, m_library.GetCharset());
    }
    return TakeFieldText(parent, text, original, m_library.GetCharset());
}

// ---------------------------------------------------------------------------------------------
// Add, properties, move, delete

void CListActions::OnNewFace(const std::string& face, Charset charset) {
    if (!m_document.WaitUntilLoaded() || !m_document.CanChange()) {
        return;
    }
    std::string added;
    std::string folder;
    std::vector<std::string> keywords;
    QString reading;
    {
        const CLibraryDocument::CHold hold = m_document.Hold();
        CAddFaceDlg dialog(Window(), m_page.View(), ToQString(face, charset),
                           m_page.SelectedFolder());
        dialog.SetUtf8Offer([this] { return OfferUtf8(); });
        dialog.SetCheck([&](const QString& text, const std::string&) {
            // The offered bytes stay as they are while the text is left unchanged.
            const std::optional<std::string> bytes =
                TakeText(&dialog, text, charset == m_library.GetCharset() ? face : std::string());
            if (!bytes) {
                return false;
            }
            if (m_library.FindRecord(*bytes)) {
                ShowMessage(&dialog, res::kDuplicateFace.toString().arg(text));
                return false;
            }
            added = *bytes;
            return true;
        });
        if (RunModal(dialog) != QDialog::Accepted) {
            return;
        }
        folder = dialog.Folder();
        keywords = dialog.Keywords();
        reading = dialog.FolderReading();
    }
    if (!m_document.Change(AddFaces{{FaceEntry{added, folder}}}).changed) {
        return;
    }
    m_document.SetFaceKeywords(added, std::move(keywords));
    KeepFolderReading(folder, reading);
    m_page.Finder().ShowNewFace(added, folder);
    m_page.UpdateCurrentFace();
}

void CListActions::OnProperties() {
    if (!m_document.WaitUntilLoaded() || !m_document.CanChange()) {
        return;
    }
    const std::vector<int> rows = m_page.m_lstFace->SelectedRows();
    if (rows.empty()) {
        return;
    }
    const CFaceListModel& model = *m_page.m_faceModel;
    if (!model.IsRecordRow(rows.front())) {
        // Not in the library: its properties are those it would be added with.
        OnNewFace(std::string(model.TextAt(rows.front())), m_library.GetCharset());
        return;
    }
    // Ids stay while the dialog shows: no reload is taken, and a conversion keeps them.
    const RecordId id = model.RecordAt(rows.front());
    std::string face;
    std::string folder;
    std::vector<std::string> keywords;
    QString reading;
    {
        const CLibraryDocument::CHold hold = m_document.Hold();
        CPropertyDlg dialog(Window(), m_page.View(),
                            ToQString(m_library.Text(id), m_library.GetCharset()),
                            m_library.Folder(id));
        dialog.SetKeywords(m_document.Keywords().FaceKeywords(m_library.Text(id)));
        dialog.SetUtf8Offer([this] { return OfferUtf8(); });
        dialog.SetCheck([&](const QString& text, const std::string&) {
            const std::optional<std::string> bytes = TakeText(&dialog, text, m_library.Text(id));
            if (!bytes) {
                return false;
            }
            if (const auto clash = m_library.FindRecord(*bytes); clash && *clash != id) {
                ShowMessage(&dialog, res::kDuplicateFace.toString().arg(text));
                return false;
            }
            face = *bytes;
            return true;
        });
        if (RunModal(dialog) != QDialog::Accepted) {
            return;
        }
        folder = dialog.Folder();
        keywords = dialog.Keywords();
        reading = dialog.FolderReading();
    }
    const std::string oldText(m_library.Text(id));
    const std::string oldFolder = m_library.Folder(id);
    const EditOutcome outcome = m_document.Change(ReplaceFace{oldText, FaceEntry{face, folder}});
    m_document.SetFaceKeywords(face, std::move(keywords));
    KeepFolderReading(folder, reading);
    if (folder != oldFolder && std::find(outcome.emptied.begin(), outcome.emptied.end(),
                                         oldFolder) != outcome.emptied.end()) {
        // The folder went with its last emoticon, silently.
        m_page.Finder().LeaveEmptiedFolder();
    }
    m_page.Finder().SelectRow(face);
    m_page.UpdateCurrentFace();
}

void CListActions::OnMove() {
    if (!m_document.WaitUntilLoaded() || !m_document.CanChange()) {
        return;
    }
    const CFaceListModel& model = *m_page.m_faceModel;
    std::vector<RecordId> ids;
    for (int row : m_page.m_lstFace->SelectedRows()) {
        if (model.IsRecordRow(row)) {
            ids.push_back(model.RecordAt(row));  // not in the library: nothing to move
        }
    }
    if (m_page.SelectedCount() == 0) {
        return;
    }
    std::string folder;
    QString reading;
    {
        const CLibraryDocument::CHold hold = m_document.Hold();
        CMoveDlg dialog(Window(), m_page.View(), m_page.SelectedFolder());
        dialog.SetUtf8Offer([this] { return OfferUtf8(); });
        if (RunModal(dialog) != QDialog::Accepted) {
            return;
        }
        folder = dialog.Folder();
        reading = dialog.FolderReading();
    }
    MoveFaces move{{}, folder};
    for (RecordId id : ids) {
        // An emoticon already in the folder stays as it is.
        if (m_library.Folder(id) != folder) {
            move.texts.emplace_back(m_library.Text(id));
        }
    }
    m_document.Change(move);
    KeepFolderReading(folder, reading);
    m_page.Finder().ShowAllIfEmpty();
    m_page.UpdateCurrentFace();
}

void CListActions::KeepFolderReading(const std::string& folder, const QString& reading) {
    // A folder made in a dialog keeps the reading given there, for search and dictionaries.
    if (!reading.isEmpty()) {
        m_document.SetFolderReading(folder, reading.toStdString());
    }
}

std::string CListActions::ReadingFolder() const {
    const std::vector<int> rows = m_page.m_lstFace->SelectedRows();
    if (rows.size() == 1 && m_page.m_faceModel->IsRecordRow(rows.front())) {
        return m_library.Folder(m_page.m_faceModel->RecordAt(rows.front()));
    }
    return m_page.SelectedFolder();
}

void CListActions::OnFolderReading() {
    if (!m_document.WaitUntilLoaded() || !m_document.CanChange()) {
        return;
    }
    const std::string folder = ReadingFolder();
    if (folder.empty()) {
        return;
    }
    QString reading =
        QString::fromStdString(std::string(m_document.Keywords().FolderReading(folder)));
    const QString name = ToQString(folder, m_library.GetCharset());
    if (reading.isEmpty()) {
        reading = CReadingProposer::Shared().Propose(name);
    }
    QInputDialog dialog(Window());
    dialog.setObjectName(QStringLiteral("m_folderReadingDlg"));
    dialog.setWindowTitle(res::kFolderReadingCaption.toString());
    dialog.setLabelText(res::kFolderReadingPrompt.toString().arg(name));
    dialog.setTextValue(reading);
    dialog.setOkButtonText(res::kOk.toString());
    dialog.setCancelButtonText(res::kCancel.toString());
    if (RunModal(dialog) != QDialog::Accepted) {
        return;
    }
    m_document.SetFolderReading(folder, dialog.textValue().trimmed().toStdString());
}

void CListActions::OnDelete() {
    if (!m_document.WaitUntilLoaded() || !m_document.CanChange()) {
        return;
    }
    const std::vector<std::string> texts = m_page.Finder().SelectedTexts();
    if (texts.empty()) {
        return;
    }
    {
        const CLibraryDocument::CHold hold = m_document.Hold();
        const QString question = texts.size() == 1
                                     ? res::kDeleteOneQuestion.toString().arg(
                                           ToDisplayString(texts.front(), m_library.GetCharset()))
                                     : res::kDeleteManyQuestion.toString().arg(texts.size());
        if (ShowMessage(Window(), question, MessageButtons::YesNo, MessageIcon::Question) !=
            MessageAnswer::Yes) {
            return;
        }
    }
    const EditOutcome outcome = m_document.Change(RemoveFaces{texts});
    for (std::size_t i = 0; i < outcome.emptied.size(); ++i) {
        ShowMessage(Window(), res::kFolderEmptied.toString());
    }
    m_page.Finder().ShowAllIfEmpty();
    m_page.UpdateCurrentFace();
}

// ---------------------------------------------------------------------------------------------
// Emoticon lists to and from other programs

void CListActions::OnImport() {
    if (!m_document.WaitUntilLoaded() || !m_document.CanChange()) {
        return;
    }
    std::optional<ImportFaces> import;
    {
        // No reload while the questions are asked: the folder tree shows the library's folders.
        const CLibraryDocument::CHold hold = m_document.Hold();
        const QString path =
            AskFileName(Window(), FileDialogMode::Open, res::kImportCaption.toString(),
                        res::kExchangeFilter.toString());
        if (path.isEmpty()) {
            return;
        }
        // Read and looked through on the disk thread: a file may hold a million lines.
        auto read = std::make_shared<std::optional<ImportReadResult>>();
        m_document.DiskThread().Post(
            [path, charset = m_library.GetCharset()] {
                ImportReadResult result{ReadImportFile(path)};
                if (result.read.problem == ImportRead::Problem::None) {
                    result.unfiled = HasUnfiledLines(result.read.file);
                    result.needsUtf8 = ImportNeedsUtf8(result.read.file, charset);
                    result.notText = IsMostlyNotText(result.read.file);
                }
                return result;
            },
            [read](ImportReadResult result) { read->emplace(std::move(result)); });
        if (!WaitWithProgress(
                Window(), res::kImportReading.toString(), [read] { return read->has_value(); },
                nullptr)) {
            return;
        }
        ImportReadResult& found = **read;
        if (!TellImportRead(Window(), path, found.read)) {
            return;
        }
        if (found.notText &&
            ShowMessage(Window(),
                        res::kImportNotText.toString().arg(QDir::toNativeSeparators(path)),
                        MessageButtons::YesNo, MessageIcon::Warning) != MessageAnswer::Yes) {
            return;
        }
        if (found.unfiled) {
            CMoveDlg dialog(Window(), m_page.View(), m_page.SelectedFolder(), res::kImportCaption,
                            res::kImportFolderLabel);
            dialog.SetUtf8Offer([this] { return OfferUtf8(); });
            if (RunModal(dialog) != QDialog::Accepted) {
                return;
            }
            FileUnfiledLines(found.read.file, m_library.GetCharset().ToUtf8(dialog.Folder()));
        }
        if (found.needsUtf8) {
            OfferUtf8();  // declined: those lines are refused with the reason
        }
        import = ImportFaces{std::make_shared<const ImportFile>(std::move(found.read.file)),
                             res::kAllFaces.toString().toStdString()};
    }

    // The lines are applied on the disk thread to what the file holds, saved, and taken in.
    auto finished = std::make_shared<std::optional<std::optional<EditOutcome>>>();
    const std::shared_ptr<ImportProgress> progress = m_document.Import(
        *import, [finished](std::optional<EditOutcome> outcome) { finished->emplace(outcome); });
    WaitWithProgress(
        Window(), res::kImportApplying.toString(), [finished] { return finished->has_value(); },
        progress.get());
    if (!finished->has_value()) {
        // Cancelled before its result came: it comes, changing nothing.
        WaitWithProgress(
            Window(), res::kImportApplying.toString(), [finished] { return finished->has_value(); },
            nullptr);
    }
    const std::optional<EditOutcome>& outcome = **finished;
    if (!outcome) {
        return;  // cancelled, or told as a failed save
    }
    const ImportSummary& summary = outcome->imported;

    // The list shows what came in: their folder when they share one, else everything.
    std::optional<std::string> folder;
    for (RecordId id : summary.added) {
        if (!folder) {
            folder = m_library.Folder(id);
        } else if (*folder != m_library.Folder(id)) {
            folder = std::string();
            break;
        }
    }
    m_page.Finder().ShowImported(folder.value_or(std::string()));
    if (!summary.added.empty()) {
        m_page.Finder().SelectRow(std::string(m_library.Text(summary.added.front())));
    }
    m_page.UpdateCurrentFace();
    ShowMessage(Window(), DescribeImport(summary), MessageButtons::Ok,
                summary.refused.empty() ? MessageIcon::Information : MessageIcon::Warning);
}

void CListActions::OnExport() {
    if (!m_document.WaitUntilLoaded()) {
        return;
    }
    // The selected emoticons when several are; else every one listed. Copied faces that
    // are not in the library (the recent list shows them) are not the library's to export.
    const CFaceListModel& model = *m_page.m_faceModel;
    std::vector<int> rows;
    if (m_page.SelectedCount() > 1) {
        rows = m_page.m_lstFace->SelectedRows();
    } else {
        rows.resize(static_cast<std::size_t>(model.rowCount()));
        std::iota(rows.begin(), rows.end(), 0);
    }
    std::vector<RecordId> ids;
    for (int row : rows) {
        if (model.IsRecordRow(row)) {
            ids.push_back(model.RecordAt(row));
        }
    }
    const QString path = AskFileName(Window(), FileDialogMode::Save, res::kExportCaption.toString(),
                                     res::kExchangeFilter.toString());
    if (path.isEmpty()) {
        return;
    }
    ExportResult result = ExportRecords(m_library, ids);
    const FileError error = WaitForDisk(m_document.DiskThread(), [path, library = m_document.Path(),
                                                                  bytes = std::move(result.bytes)] {
        return WriteExport(path, library, bytes);
    });
    TellExport(Window(), path, m_library, result, error);
}

void CListActions::OnExportDictionary() {
    if (!m_document.WaitUntilLoaded()) {
        return;
    }
    CDictionaryFormatDlg dialog(CDictionaryFormatDlg::Remembered(m_page.SettingsPath()), Window());
    if (RunModal(dialog) != QDialog::Accepted) {
        return;
    }
    const DictionaryFormat format = dialog.Format();
    CDictionaryFormatDlg::Remember(m_page.SettingsPath(), format);
    // Made on the disk thread from a copy: for a large library it takes several frames, and
    // the copy holds still. Made before the file is asked for, so that with nothing to write
    // the user learns why at once.
    const Charset charset = m_library.GetCharset();
    DictionaryMade made = WaitForDisk(
        m_document.DiskThread(),
        [faceList = m_library.SaveFaceList(), keywords = m_document.Keywords(), format]() mutable {
            CFaceLibrary copy;
            copy.AdoptFaceList(std::move(faceList));
            return MakeDictionary(copy, keywords, format);
        });
    if (TellEmptyDictionary(Window(), made, charset)) {
        return;
    }
    const QString path = AskFileName(
        Window(), FileDialogMode::Save, res::kDictionaryCaption.toString(),
        CDictionaryFormatDlg::FileFilter(format), CDictionaryFormatDlg::SuggestedPath(format));
    if (path.isEmpty()) {
        return;
    }
    const FileError error =
        WaitForDisk(m_document.DiskThread(),
                    [path, library = m_document.Path(), bytes = std::move(made.dictionary.bytes)] {
                        return WriteExport(path, library, bytes);
                    });
    TellDictionaryExport(Window(), path, made, charset, error);
}

}  // namespace mopira
