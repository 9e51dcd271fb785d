#pragma once

#include <QAbstractItemModel>
#include <QApplication>
#include <QContextMenuEvent>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include "MainDlgFixture.h"
#include "core/app/ControlIds.h"
#include "ui/controls/SortListCtrl.h"
#include "ui/controls/TipToolBar.h"
#include "ui/library/FolderCombo.h"

namespace mopira::test {

// The main window opened on a library, with the list tab's controls at hand and the user's
// everyday moves on them.
struct CListTabSession {
    CMainDlgFixture fixture;
    CMainDlg* dialog = nullptr;
    CSortListCtrl* list = nullptr;
    CFolderCombo* combo = nullptr;
    QLineEdit* edit = nullptr;
    CTipToolBar* toolbar = nullptr;

    // `keywords`: what Keywords.dat holds beside the library, when anything.
    explicit CListTabSession(const std::string& library, int tab = 0,
                             const std::string& keywords = {}) {
        fixture.WriteFile(QStringLiteral("FaceList.dat"), library);
        if (!keywords.empty()) {
            fixture.WriteFile(QStringLiteral("Keywords.dat"), keywords);
        }
        if (tab != 0) {
            fixture.WriteSetting(QStringLiteral("Window/Tab"), tab);
        }
        dialog = fixture.Open();
        list = fixture.Child<CSortListCtrl>("m_lstFace");
        combo = fixture.Child<CFolderCombo>("m_cbxFolder");
        edit = fixture.Child<QLineEdit>("m_edtFind");
        toolbar = fixture.Child<CTipToolBar>("m_tbarList");
    }

    // The texts of a column, top to bottom.
    QStringList Rows(int column = 0) const {
        QStringList rows;
        const QAbstractItemModel* model = list->DetailsView()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            rows << model->index(row, column).data().toString();
        }
        return rows;
    }
    QStringList SelectedTexts() const {
        QStringList texts;
        const QStringList rows = Rows();
        for (int row : list->SelectedRows()) {
            texts << rows.at(row);
        }
        return texts;
    }
    // The location combo's items.
    QStringList Folders() const {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) {
            items << combo->itemText(i);
        }
        return items;
    }
    // Presses a command's button on the list toolbar, or picks a find mode from the location
    // button's menu, as the user does: a hidden or disabled button fails the test.
    void Command(int command) const {
        if (command == id::kFindByLocation || command == id::kFindByText) {
            OnNextPopup([command](QMenu& menu) {
                PickAction(menu,
                           [command](const QAction& a) { return a.data().toInt() == command; });
            });
            QTest::mouseClick(fixture.Child<QWidget>("m_btnLocation"), Qt::LeftButton);
            // The window is active again once the menu has gone, as the user finds it (the
            // offscreen platform leaves that to the test).
            dialog->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            return;
        }
        QToolButton* button = toolbar->ButtonFor(command);
        QVERIFY2(button && button->isVisible() && button->isEnabled(), "the button is not there");
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // Chooses `command` in the list's menu, opened from the keyboard; false when it is not
    // there or is off.
    bool ContextCommand(int command) const {
        bool found = false;
        OnNextPopup([command, &found](QMenu& menu) {
            found = PickAction(menu,
                               [command](const QAction& a) { return a.data().toInt() == command; });
        });
        QWidget* viewport = list->DetailsView()->viewport();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                viewport->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(viewport, &event);
        return found;
    }

    void ChooseFolder(const QString& name) const {
        const int index = combo->findText(name);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    void SearchFor(const QString& text) const {
        Command(id::kFindByText);
        edit->setFocus();
        edit->setText(text);
    }
    void Select(std::initializer_list<int> rows) const {
        QItemSelection selection;
        const QAbstractItemModel* model = list->DetailsView()->model();
        for (int row : rows) {
            selection.select(model->index(row, 0), model->index(row, 1));
        }
        list->SelectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    }
    void Select(std::initializer_list<QString> texts) const {
        QItemSelection selection;
        const QAbstractItemModel* model = list->DetailsView()->model();
        const QStringList rows = Rows();
        for (const QString& text : texts) {
            const int row = static_cast<int>(rows.indexOf(text));
            QVERIFY(row >= 0);
            selection.select(model->index(row, 0), model->index(row, 1));
        }
        list->SelectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    }
};

}  // namespace mopira::test
