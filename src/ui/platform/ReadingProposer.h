#pragma once

#include <QString>
#include <memory>
#include <string>

namespace mopira {

// Proposes the reading (hiragana) of a name, as a word of it is read, with MeCab and its IPA
// dictionary. MeCab is optional at build time and at run time: where it is missing or cannot
// start (no dictionary installed), the proposer is unavailable and proposes nothing.
//
// MeCab starts on the first use, once, on the thread that uses it (the window's): a start
// maps its dictionary, which takes some milliseconds, so the program does not pay for it
// until a name is asked for.
class CReadingProposer {
public:
    // `arguments` are MeCab's own, as on its command line ("-r FILE" names another
    // configuration file); none starts it as the system configures it.
    explicit CReadingProposer(std::string arguments = {});
    ~CReadingProposer();
    CReadingProposer(const CReadingProposer&) = delete;
    CReadingProposer& operator=(const CReadingProposer&) = delete;

    // The program's own proposer.
    static CReadingProposer& Shared();

    // Whether proposals can be made; starts MeCab on the first call.
    bool Available();

    // The reading of `name`: each word read by the dictionary in hiragana, words it does not
    // know and letters as they are written (katakana in hiragana), without punctuation,
    // symbols and spaces. Empty when the proposer is unavailable or the reading would hold no
    // kana at all (a name of letters or symbols only), since such a reading helps no one.
    QString Propose(const QString& name);

private:
    struct Tagger;

    std::string m_arguments;
    std::unique_ptr<Tagger> m_tagger;
    bool m_bStarted = false;
};

}  // namespace mopira
