#pragma once

#include <QKeySequence>
#include <QObject>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "core/text/Charset.h"

class QPoint;
class QWidget;

namespace mopira {

class CFaceLibrary;
class CLibraryDocument;
class CLibraryMessages;
class CListPage;
class CTipToolBar;

// The commands of the list tab that change the library or exchange it with other programs:
// add, properties, move, delete, import, export and the input method's dictionary, and the
// question before a library becomes
// UTF-8; their states on the toolbar and the list's menu. Each builds its change in the
// library's encoding of the moment it applies it, hands it to the document, and then chooses
// what the list shows and selects; the list, the folder combo and the emoticons copied last
// follow the change by themselves.
class CListActions : public QObject {
    Q_OBJECT

public:
    CListActions(CLibraryDocument& document, CListPage& page, CTipToolBar& toolbar,
                 const CLibraryMessages& messages);

    void OnCommand(int command);
    // Delete, properties and move act on the selected emoticons: off without one, and while
    // the library may not be changed. One emoticon offers properties, several move: they
    // share a place.
    void UpdateCommandStates(bool hasFace, int selected);
    // The list's menu, at the point of the right-click or the current row's point for the
    // keyboard; a click outside the list shows none.
    void ShowMenu(const QPoint& globalPos, bool fromKeyboard);
    // Adds an emoticon through the add dialog, filled with `face` (bytes in `charset`): the
    // create tab's "一覧に追加".
    void AddFace(const std::string& face, Charset charset);

    // The key of a command as the list's menu shows it; empty for none.
    static QKeySequence KeysOf(int command);

private:
    // Insert and Ctrl+N add, Delete deletes, F2 and Alt+Enter open the properties, Ctrl+M
    // moves: on the list tab, as the toolbar's buttons allow.
    void CreateShortcuts();
    // Afterwards the list shows and selects the new one.
    void OnNewFace(const std::string& face, Charset charset);
    void OnDelete();
    void KeepFolderReading(const std::string& folder, const QString& reading);
    void OnProperties();
    void OnMove();
    void OnImport();
    void OnExport();
    // The library as an input method's user dictionary, in the format the user chooses.
    void OnExportDictionary();
    // The folder the reading command acts on: the selected emoticon's, else the one shown;
    // empty for none.
    std::string ReadingFolder() const;
    void OnFolderReading();

    // Asks whether the library may become UTF-8 (for a text CP932 cannot hold) and makes it
    // so on Yes; true when it is UTF-8 afterwards. Asked once in a command: the answer stands
    // until the command ends.
    bool OfferUtf8();
    // The library's bytes of a typed text, asking for UTF-8 first when it needs it. A field
    // that still shows `original` gives back `original`. Tells the user and returns nullopt
    // when a character cannot be stored.
    std::optional<std::string> TakeText(QWidget* parent, const QString& text,
                                        std::string_view original);
    QWidget* Window() const;
    // The library is read: what may not be changed says why.
    void OnLibraryLoaded();

    CLibraryDocument& m_document;
    CListPage& m_page;
    CTipToolBar& m_tbarList;
    const CLibraryMessages& m_messages;
    const CFaceLibrary& m_library;
    std::optional<bool> m_utf8Answer;
};

}  // namespace mopira
