#include "ui/library/FaceExchange.h"

#include <QDir>
#include <QStringList>
#include <algorithm>
#include <cerrno>

#include "res/StringTable.h"
#include "ui/library/FieldText.h"
#include "ui/platform/FileErrorText.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/TextConvert.h"

namespace mopira {

namespace {

// Enough to see what went wrong; the counts say how much.
constexpr std::size_t kListedLines = 10;
constexpr std::size_t kListedRecords = 10;

QString DescribeProblem(const ImportRefusal& refusal) {
    switch (refusal.problem) {
        case ImportProblem::EmptyText:
            return res::kImportEmptyText.toString();
        case ImportProblem::EmptyFolder:
            return res::kImportEmptyFolder.toString();
        case ImportProblem::InvalidBytes:
            return res::kImportInvalidBytes.toString();
        case ImportProblem::ControlCharacter: {
            QStringList codes;
            for (char32_t character : refusal.characters) {
                codes << QStringLiteral("U+%1").arg(static_cast<uint>(character), 4, 16,
                                                    QLatin1Char('0'));
            }
            return res::kImportControl.toString().arg(codes.join(QStringLiteral("、")).toUpper());
        }
        case ImportProblem::ReservedFolder:
            return res::kImportReservedFolder.toString();
        case ImportProblem::UnrepresentableText:
            return res::kImportUnrepresentableText.toString().arg(
                ListCharacters(refusal.characters));
        case ImportProblem::UnrepresentableFolder:
            return res::kImportUnrepresentableFolder.toString().arg(
                ListCharacters(refusal.characters));
    }
    return {};
}

QString DescribeOmission(const DictionaryOmission& omission) {
    switch (omission.reason) {
        case OmissionReason::NoReading:
            return res::kDictionaryNoReading.toString();
        case OmissionReason::InvalidBytes:
            return res::kImportInvalidBytes.toString();
        case OmissionReason::ControlCharacter:
            return res::kDictionaryControl.toString();
        case OmissionReason::TextTooLong:
            return res::kDictionaryTextTooLong.toString();
        case OmissionReason::ReadingTooLong:
            return res::kDictionaryReadingTooLong.toString().arg(
                QString::fromStdString(omission.reading));
    }
    return {};
}

// Tells why an export's file was not written, with `failed` ("...\n\nファイル: %1\n理由: %2");
// false when it was.
bool TellWriteFailed(QWidget* parent, const QString& path, const FileError& error,
                     QStringView failed) {
    if (error.code == EEXIST) {
        // An export written there would replace the library with another format.
        ShowMessage(parent, res::kExportOverLibrary.toString(), MessageButtons::Ok,
                    MessageIcon::Warning);
        return true;
    }
    if (error.Failed()) {
        ShowMessage(parent,
                    failed.toString().arg(QDir::toNativeSeparators(path), DescribeFileError(error)),
                    MessageButtons::Ok, MessageIcon::Stop);
        return true;
    }
    return false;
}

// What was left out of a dictionary and why, the first few named.
QString DescribeOmissions(const DictionaryMade& made, Charset charset) {
    const DictionaryExport& dictionary = made.dictionary;
    QStringList shown;
    for (std::size_t i = 0; i < dictionary.omitted.size() && i < kListedRecords; ++i) {
        shown << res::kDictionaryOmittedLine.toString().arg(
            ToDisplayString(made.omittedTexts[i], charset),
            DescribeOmission(dictionary.omitted[i]));
    }
    QString message = res::kDictionaryOmitted.toString()
                          .arg(dictionary.omitted.size())
                          .arg(ListFirstItems(shown, dictionary.omitted.size()));
    // Where readings come from, for the user to give the missing ones.
    if (std::any_of(dictionary.omitted.begin(), dictionary.omitted.end(),
                    [](const DictionaryOmission& omission) {
                        return omission.reason == OmissionReason::NoReading;
                    })) {
        message += QStringLiteral("\n\n") + res::kDictionaryReadingNote.toString();
    }
    return message;
}

}  // namespace

bool TellImportRead(QWidget* parent, const QString& path, const ImportRead& read) {
    const QString shownPath = QDir::toNativeSeparators(path);
    switch (read.problem) {
        case ImportRead::Problem::None:
            return true;
        case ImportRead::Problem::TooLarge:
            ShowMessage(parent,
                        res::kImportTooLarge.toString().arg(kMaxImportBytes >> 20).arg(shownPath),
                        MessageButtons::Ok, MessageIcon::Warning);
            return false;
        case ImportRead::Problem::Unreadable:
            ShowMessage(
                parent,
                res::kImportUnreadable.toString().arg(shownPath, DescribeFileError(read.error)),
                MessageButtons::Ok, MessageIcon::Stop);
            return false;
    }
    return false;
}

QString DescribeImport(const ImportSummary& summary) {
    QString message = res::kImportSummary.toString()
                          .arg(summary.added.size())
                          .arg(summary.alreadyThere.size())
                          .arg(summary.refused.size());
    if (!summary.refused.empty()) {
        QStringList lines;
        for (std::size_t i = 0; i < summary.refused.size() && i < kListedLines; ++i) {
            lines << res::kImportRefusedLine.toString()
                         .arg(summary.refused[i].line)
                         .arg(DescribeProblem(summary.refused[i]));
        }
        message += QStringLiteral("\n\n") + ListFirstItems(lines, summary.refused.size());
    }
    return message;
}

void TellExport(QWidget* parent, const QString& path, const CFaceLibrary& library,
                const ExportResult& result, const FileError& error) {
    if (TellWriteFailed(parent, path, error, res::kExportFailed)) {
        return;
    }
    QString message = res::kExportDone.toString().arg(result.written);
    if (!result.skipped.empty()) {
        QStringList shown;
        for (std::size_t i = 0; i < result.skipped.size() && i < kListedRecords; ++i) {
            shown << ToDisplayString(library.Text(result.skipped[i]), library.GetCharset());
        }
        message += QStringLiteral("\n\n") +
                   res::kExportSkipped.toString().arg(ListFirstItems(shown, result.skipped.size()));
    }
    ShowMessage(parent, message, MessageButtons::Ok,
                result.skipped.empty() ? MessageIcon::Information : MessageIcon::Warning);
}

bool TellEmptyDictionary(QWidget* parent, const DictionaryMade& made, Charset charset) {
    if (made.dictionary.faces > 0) {
        return false;
    }
    QString message = res::kDictionaryNothing.toString();
    if (!made.dictionary.omitted.empty()) {
        message += QStringLiteral("\n\n") + DescribeOmissions(made, charset);
    }
    ShowMessage(parent, message, MessageButtons::Ok, MessageIcon::Warning);
    return true;
}

void TellDictionaryExport(QWidget* parent, const QString& path, const DictionaryMade& made,
                          Charset charset, const FileError& error) {
    if (TellWriteFailed(parent, path, error, res::kDictionaryFailed)) {
        return;
    }
    const DictionaryExport& dictionary = made.dictionary;
    QString message = res::kDictionaryDone.toString()
                          .arg(dictionary.faces)
                          .arg(dictionary.entries)
                          .arg(QDir::toNativeSeparators(path));
    if (!dictionary.omitted.empty()) {
        message += QStringLiteral("\n\n") + DescribeOmissions(made, charset);
    }
    ShowMessage(parent, message, MessageButtons::Ok,
                dictionary.omitted.empty() ? MessageIcon::Information : MessageIcon::Warning);
}

}  // namespace mopira
