#include "ui/library/FaceExchange.h"

#include <QDir>
#include <QStringList>
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
    if (error.code == EEXIST) {
        // An export written there would replace the library with another format.
        ShowMessage(parent, res::kExportOverLibrary.toString(), MessageButtons::Ok,
                    MessageIcon::Warning);
        return;
    }
    if (error.Failed()) {
        ShowMessage(parent,
                    res::kExportFailed.toString().arg(QDir::toNativeSeparators(path),
                                                      DescribeFileError(error)),
                    MessageButtons::Ok, MessageIcon::Stop);
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

}  // namespace mopira
