#include "ui/platform/ReadingProposer.h"

#include <QList>
#include <QStringView>
#include <string_view>

#include "core/text/KanaFold.h"

#ifdef MOPIRA_HAVE_MECAB
#include <mecab.h>
#endif

namespace mopira {

namespace {

#ifdef MOPIRA_HAVE_MECAB
// Field `index` of a comma-separated feature, empty when there are fewer fields. The IPA
// dictionary's fields hold no comma of their own.
std::string_view FeatureField(std::string_view feature, int index) {
    for (; index > 0; --index) {
        const std::size_t comma = feature.find(',');
        if (comma == std::string_view::npos) {
            return {};
        }
        feature.remove_prefix(comma + 1);
    }
    return feature.substr(0, feature.find(','));
}

// What a word contributes to the reading: the dictionary's reading (katakana, the eighth
// field), or the word as written when the dictionary has none (an unknown word has seven
// fields and an unknown reading is "*"). A symbol's reading spells it out (ｗ is ダブリュー),
// which no one types for it, so a symbol stays as written.
std::string_view WordReading(std::string_view surface, std::string_view feature) {
    if (FeatureField(feature, 0) == "記号") {
        return surface;
    }
    const std::string_view reading = FeatureField(feature, 7);
    return reading.empty() || reading == "*" ? surface : reading;
}
#endif

bool IsHiragana(char32_t c) {
    return c >= 0x3041 && c <= 0x3096;
}

// Punctuation, symbols and spaces are not read; kana, the long vowel mark (a letter), and
// what stays as written (letters, digits, a kanji the dictionary lacks) are kept.
QString KeepReadable(const QString& text) {
    QString kept;
    bool kana = false;
    for (const char32_t c : QStringView(text).toUcs4()) {
        if (QChar::isPunct(c) || QChar::isSymbol(c) || QChar::isSpace(c)) {
            continue;
        }
        kana = kana || IsHiragana(c);
        kept += QString::fromUcs4(&c, 1);
    }
    return kana ? kept : QString();
}

}  // namespace

struct CReadingProposer::Tagger {
#ifdef MOPIRA_HAVE_MECAB
    explicit Tagger(mecab_t* mecab) : mecab(mecab) {}
    ~Tagger() {
        mecab_destroy(mecab);
    }
    Tagger(const Tagger&) = delete;
    Tagger& operator=(const Tagger&) = delete;

    mecab_t* mecab;
#endif
};

CReadingProposer::CReadingProposer(std::string arguments) : m_arguments(std::move(arguments)) {}

CReadingProposer::~CReadingProposer() = default;

CReadingProposer& CReadingProposer::Shared() {
    static CReadingProposer proposer;
    return proposer;
}

bool CReadingProposer::Available() {
    if (!m_bStarted) {
        m_bStarted = true;
#ifdef MOPIRA_HAVE_MECAB
        // Fails without a dictionary (or configuration file) to load.
        if (mecab_t* mecab = mecab_new2(m_arguments.c_str())) {
            m_tagger = std::make_unique<Tagger>(mecab);
        }
#endif
    }
    return m_tagger != nullptr;
}

QString CReadingProposer::Propose(const QString& name) {
    if (name.trimmed().isEmpty() || !Available()) {
        return {};
    }
    std::string reading;
#ifdef MOPIRA_HAVE_MECAB
    const QByteArray bytes = name.toUtf8();
    for (const mecab_node_t* node =
             mecab_sparse_tonode2(m_tagger->mecab, bytes.constData(), bytes.size());
         node != nullptr; node = node->next) {
        if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE) {
            continue;
        }
        reading += WordReading(std::string_view(node->surface, node->length), node->feature);
    }
#endif
    return KeepReadable(QString::fromStdString(kana::ToHiragana(reading)));
}

}  // namespace mopira
