#pragma once

#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "core/library/LibraryEdit.h"
#include "ui/library/FindModeButton.h"

class QLineEdit;

namespace mopira {

class CFaceLibrary;
class CFaceListModel;
class CFolderCombo;
class CLibraryDocument;
class CMeaningIndex;
class CRecentFaces;
class CSortListCtrl;

// What the face list shows and how the user gets there: a folder, everything or the
// emoticons copied last, chosen in the location combo; or what the search box finds by text,
// folder name, reading and keyword. It keeps the list in step with the library, its keywords
// and the copied list, and keeps the rows the user selected by their texts, since a reload
// changes every record id.
class CListFinder : public QObject {
    Q_OBJECT

public:
    struct Controls {
        CSortListCtrl& list;
        CFaceListModel& model;
        CFolderCombo& folders;
        QLineEdit& search;
        CFindModeButton& mode;
    };

    CListFinder(CLibraryDocument& document, CRecentFaces& recent, const Controls& controls,
                QObject* parent);
    ~CListFinder() override;

    FindMode Mode() const { return m_findMode; }
    // The mode the settings kept, shown when the page shows.
    void SetMode(FindMode mode) { m_findMode = mode; }
    // The button shows the mode, and the combo or the search box shows beside it.
    void ShowMode();
    void FindByLocation();
    // What the user types next is what is searched for.
    void FindByText();
    // Ctrl+F: into the search box, opening it first.
    void FocusSearch();

    // The library and the copied list, in the order the page hears of them: before the
    // views let go of the old record ids, and after they follow a change.
    void OnLibraryAboutToReload();
    void OnLibraryLoaded();
    void OnLibraryChanged(const LibraryEdit& edit);
    void OnLibraryReloaded();
    void OnKeywordsChanged();

    // After a command: the list shows the emoticon just added to `folder`, selected. A
    // folder view turns to its folder; a search starts afresh.
    void ShowNewFace(const std::string& face, const std::string& folder);
    // The folder shown went with its last emoticon: the list shows everything.
    void LeaveEmptiedFolder();
    // After rows went away: an empty list shows every emoticon again, or what a search
    // finds in them.
    void ShowAllIfEmpty();
    // Imported emoticons: their folder (everything for none, or one the combo lacks).
    void ShowImported(const std::string& folder);

    bool IsRecentShown() const;
    // The folder chosen in the location combo; empty for the fixed items.
    std::string SelectedFolder() const;
    std::vector<std::string> SelectedTexts() const;
    // Selects the row of `text`, if the list has one, and gives the list the focus.
    void SelectRow(const std::string& text);
    void SelectRows(const std::vector<std::string>& texts);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The rows of a folder, or every row for the empty name.
    void ShowFolder(const std::string& folder);
    void ShowRecent();
    // What the location combo has chosen.
    void ShowLocation();
    void OnRecentChanged();
    void OnFolderChosen();
    void OnSearchFocus();
    void Search();
    // Searches again after the library or its keywords changed, keeping the selection.
    void SearchAgain();
    // An empty list says why it is empty: nothing found, nothing copied yet, no emoticon.
    void UpdateEmptyText();

    CLibraryDocument& m_document;
    CRecentFaces& m_recent;
    const CFaceLibrary& m_library;
    CSortListCtrl& m_list;
    CFaceListModel& m_model;
    CFolderCombo& m_folders;
    QLineEdit& m_search;
    CFindModeButton& m_modeButton;

    FindMode m_findMode = FindMode::Location;
    // The search box has had the focus once and its hint is gone.
    bool m_bSearchActivated = false;
    // The search's index of folders and keywords, made at the first search after a change.
    std::unique_ptr<CMeaningIndex> m_meaning;
    // What the list showed before the library was read again.
    std::vector<std::string> m_keptSelection;
};

}  // namespace mopira
