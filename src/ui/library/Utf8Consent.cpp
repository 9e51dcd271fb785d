#include "ui/library/Utf8Consent.h"

#include <QStringList>

#include "res/StringTable.h"
#include "store/LibraryDocument.h"
#include "ui/library/FieldText.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/TextConvert.h"

namespace mopira {

namespace {

// Enough to find them; the count says how many there are.
constexpr std::size_t kListedRecords = 10;
// Each record is shown on one line of the message.
constexpr std::size_t kShownCharacters = 40;

QString Shorten(const QString& text) {
    return text.size() > static_cast<qsizetype>(kShownCharacters)
               ? text.left(kShownCharacters) + QChar(0x2026)
               : text;
}

QString DescribeRefusal(const CFaceLibrary& library, const ConversionRefusal& refusal) {
    const Charset charset = library.GetCharset();
    const QString text = Shorten(ToQString(library.Text(refusal.id), charset));
    switch (refusal.problem) {
        case ConversionProblem::InvalidText:
            return res::kUtf8InvalidText.toString().arg(text);
        case ConversionProblem::InvalidFolder:
            return res::kUtf8InvalidFolder.toString().arg(text);
        case ConversionProblem::SameText:
            return res::kUtf8SameText.toString().arg(text);
        case ConversionProblem::SameFolder:
            return res::kUtf8SameFolder.toString().arg(text);
    }
    return text;
}

}  // namespace

bool OfferUtf8(QWidget* parent, CLibraryDocument& document) {
    const CFaceLibrary& library = document.Library();
    if (library.GetCharset().GetEncoding() == Encoding::Utf8) {
        return true;
    }
    if (!document.CanChange()) {
        return false;
    }
    if (ShowMessage(parent, res::kUtf8Question.toString(), MessageButtons::YesNo,
                    MessageIcon::Question) != MessageAnswer::Yes) {
        return false;
    }
    const std::vector<ConversionRefusal> refused = document.ConvertToUtf8();
    if (!refused.empty()) {
        QStringList shown;
        for (std::size_t i = 0; i < refused.size() && i < kListedRecords; ++i) {
            shown << DescribeRefusal(library, refused[i]);
        }
        ShowMessage(parent, res::kUtf8Refused.toString().arg(ListFirstItems(shown, refused.size())),
                    MessageButtons::Ok, MessageIcon::Warning);
    }
    return library.GetCharset().GetEncoding() == Encoding::Utf8;
}

}  // namespace mopira
