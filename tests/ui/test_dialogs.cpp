#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTreeView>
#include <deque>
#include <functional>

#include "ListTabSession.h"
#include "core/app/ControlIds.h"
#include "ui/app/AboutDlg.h"
#include "ui/controls/SortListCtrl.h"
#include "ui/controls/TipToolBar.h"
#include "ui/library/AddFaceDlg.h"
#include "ui/library/FolderCombo.h"
#include "ui/library/FolderTree.h"
#include "ui/library/MoveDlg.h"
#include "ui/library/NewFolderDlg.h"
#include "ui/library/PropertyDlg.h"
#include "ui/platform/Fonts.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/ModalSeam.h"
#include "ui/platform/ReadingProposer.h"

namespace mopira {

using test::CMainDlgFixture;
using test::Decode;

namespace {

const QString kFaceList = QStringLiteral("FaceList.dat");
const QString kTaken =
    QStringLiteral("指定された名前は既に使用されています。\n別の名前を指定してください。");

// Answers the dialogs in the order they open, one step each; a step runs while its dialog is
// shown, and the dialog counts as cancelled unless the step accepts it.
class CDialogScript {
public:
    using Step = std::function<void(QDialog&)>;

    CDialogScript() : m_seam([this](QDialog& dialog) { Run(dialog); }) {}
    CDialogScript& Then(Step step) {
        m_steps.push_back(std::move(step));
        return *this;
    }
    bool Done() const { return m_steps.empty(); }

private:
    void Run(QDialog& dialog) {
        QVERIFY2(!m_steps.empty(), qPrintable(dialog.windowTitle()));
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        step(dialog);
    }

    std::deque<Step> m_steps;
    CModalSeam m_seam;
};

template <class T>
T* Find(QDialog& dialog, const char* name) {
    return dialog.findChild<T*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}
QLineEdit* FaceEdit(QDialog& dialog) {
    return Find<QLineEdit>(dialog, "m_edtFace");
}
CFolderTree* Tree(QDialog& dialog) {
    return Find<CFolderTree>(dialog, "m_tree");
}
bool OkEnabled(QDialog& dialog) {
    return Find<QPushButton>(dialog, "m_btnOK")->isEnabled();
}
void Click(QDialog& dialog, const char* button) {
    QTest::mouseClick(Find<QPushButton>(dialog, button), Qt::LeftButton);
}
// What the user types over the whole field.
void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    edit->insert(text);
}
QStringList TreeFolders(QDialog& dialog) {
    QStringList names;
    const QTreeWidgetItem* root = Tree(dialog)->Root();
    for (int i = 0; i < root->childCount(); ++i) {
        names << root->child(i)->text(0);
    }
    return names;
}
QString SelectedNode(QDialog& dialog) {
    const QList<QTreeWidgetItem*> selected = Tree(dialog)->selectedItems();
    return selected.size() == 1 ? selected.front()->text(0) : QString();
}
void Choose(QDialog& dialog, const QString& node) {
    CFolderTree* tree = Tree(dialog);
    const QList<QTreeWidgetItem*> found =
        tree->findItems(node, Qt::MatchExactly | Qt::MatchRecursive);
    QCOMPARE(found.size(), 1);
    tree->scrollToItem(found.front());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      tree->visualItemRect(found.front()).center());
}
// Whether the pixels from `from` to `to` (one row or one column) are a dotted line of `color`:
// every other one of that colour.
bool IsDotted(const QImage& image, QPoint from, QPoint to, QRgb color) {
    const QPoint step((to.x() > from.x()) - (to.x() < from.x()),
                      (to.y() > from.y()) - (to.y() < from.y()));
    bool previous = image.pixel(from) != color;
    for (QPoint at = from;; at += step) {
        const bool dot = image.pixel(at) == color;
        if (dot == previous) {
            qWarning("no dotted line at (%d, %d)", at.x(), at.y());
            return false;
        }
        previous = dot;
        if (at == to) {
            return true;
        }
    }
}

bool HasNoColor(const QImage& image, const QRect& area, QRgb color) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) == color) {
                qWarning("line pixel at (%d, %d)", x, y);
                return false;
            }
        }
    }
    return true;
}

// A step for the new-folder dialog that gives it `name` and presses OK.
CDialogScript::Step NewFolder(const QString& name) {
    return [name](QDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("フォルダの作成"));
        Type(Find<QLineEdit>(dialog, "m_edtName"), name);
        Click(dialog, "m_btnOK");
    };
}

}  // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private:
    // Rows in character order: (=^・^=) (^ω^) (・∀・) (´・ω・｀) m(_ _)m orz.
    static std::string Library() {
        return test::FaceList({{"(´・ω・｀)", "しょぼん"},
                               {"(・∀・)", "にこにこ"},
                               {"m(_ _)m", "その他"},
                               {"(^ω^)", "にこにこ"},
                               {"orz", "その他"},
                               {"(=^・^=)", "animals"}});
    }

    // Installed before the window opens, so that nothing the window shows escapes them.
    struct Seams {
        CMessageBoxSeam messages;
        CDialogScript script;
    };

    struct Session : Seams, test::CListTabSession {
        explicit Session(const std::string& library = Library(), int tab = 0)
            : CListTabSession(library, tab) {}

        std::string File() const { return fixture.ReadFile(kFaceList); }
        // A completed change leaves the file written from the library.
        bool Saved() const { return File() == dialog->Library().SaveFaceList(); }
    };

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    void addFromTheListTabStartsEmptyOnTheRoot() {
        Session s;
        s.script.Then([&s](QDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("一覧の追加"));
            QCOMPARE(dialog.font().pointSize(), 9);
            QLineEdit* edit = FaceEdit(dialog);
            QVERIFY(edit->text().isEmpty());
            QCOMPARE(edit->font().pointSize(), 16);
            QCOMPARE(dialog.focusWidget(), edit);
            QCOMPARE(edit->accessibleName(), QStringLiteral("内容(C):"));
            QCOMPARE(Tree(dialog)->accessibleName(), QStringLiteral("場所(I):"));
            for (QLabel* label : dialog.findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
                if (label->text() == QStringLiteral("内容(&C):")) {
                    QCOMPARE(label->buddy(), edit);
                }
            }

            CFolderTree* tree = Tree(dialog);
            QCOMPARE(SelectedNode(dialog), QStringLiteral("すべての顔文字"));
            QCOMPARE(tree->Root()->icon(0).cacheKey(),
                     s.dialog->ListPage().View().images.allFaces.cacheKey());
            QVERIFY(tree->Root()->isExpanded());
            QCOMPARE(TreeFolders(dialog),
                     (QStringList{"animals", "しょぼん", "その他", "にこにこ"}));
            Type(edit, QStringLiteral("(ﾟдﾟ)"));
            QVERIFY(!OkEnabled(dialog));  // the root is no folder
            Choose(dialog, QStringLiteral("その他"));
            QVERIFY(OkEnabled(dialog));
            const QTreeWidgetItem* chosen = tree->Root()->child(2);
            QCOMPARE(chosen->icon(0).cacheKey(),
                     s.dialog->ListPage().View().images.openFolder.cacheKey());
            Type(edit, QStringLiteral(" "));
            QVERIFY(OkEnabled(dialog));  // blanks are text
            Type(edit, QString());
            QVERIFY(!OkEnabled(dialog));
            Choose(dialog, QStringLiteral("にこにこ"));
            QCOMPARE(chosen->icon(0).cacheKey(),
                     s.dialog->ListPage().View().images.folder.cacheKey());
            Type(edit, QStringLiteral("(ﾟдﾟ)"));
            Click(dialog, "m_btnOK");
        });
        s.Command(id::kNewFace);
        QVERIFY(s.script.Done());
        QCOMPARE(s.Rows().size(), 7);
        QCOMPARE(s.combo->currentIndex(), 0);
        QCOMPARE(s.SelectedTexts(), QStringList{"(ﾟдﾟ)"});
        QVERIFY(s.File().ends_with(test::FaceList({{"(ﾟдﾟ)", "にこにこ"}})));
        QVERIFY(s.Saved());
    }

    void folderTreeJoinsItsNodesWithDottedLines() {
        Session s;
        s.script.Then([](QDialog& dialog) {
            CFolderTree* tree = Tree(dialog);
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            const QImage image =
                tree->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const QRgb line = tree->palette().color(QPalette::Dark).rgb();
            const int indent = tree->indentation();
            const auto check = [&](const QTreeWidgetItem* node, int level, bool last) {
                const QRect row = tree->visualItemRect(node);
                const int middle = row.top() + row.height() / 2;
                const int x = level * indent + indent / 2;
                // The stub to the node, and the line up to the node above unless it is the
                // first of all; the line goes on down to a next sibling only.
                QVERIFY(IsDotted(image, {x, middle}, {(level + 1) * indent - 1, middle}, line));
                if (level > 0) {
                    QVERIFY(IsDotted(image, {x, row.top()}, {x, middle}, line));
                } else {
                    QVERIFY(HasNoColor(image, QRect(x, row.top(), 1, middle - row.top()), line));
                }
                const QRect below(x, middle + 1, 1, row.bottom() - middle);
                QVERIFY(last ? HasNoColor(image, below, line)
                             : IsDotted(image, below.topLeft(), below.bottomLeft(), line));
                // The root has no sibling below, so nothing runs through its column.
                if (level > 0) {
                    QVERIFY(HasNoColor(image, QRect(0, row.top(), indent, row.height()), line));
                }
            };
            const QTreeWidgetItem* root = tree->Root();
            check(root, 0, true);
            for (int i = 0; i < root->childCount(); ++i) {
                check(root->child(i), 1, i + 1 == root->childCount());
            }
        });
        s.Command(id::kNewFace);
        QVERIFY(s.script.Done());
    }

    void folderTreeKeepsTheChosenFolderOnClicksBesideIt() {
        Session s;
        s.script.Then([](QDialog& dialog) {
            CFolderTree* tree = Tree(dialog);
            Type(FaceEdit(dialog), QStringLiteral("(ﾟдﾟ)"));
            Choose(dialog, QStringLiteral("その他"));
            QVERIFY(OkEnabled(dialog));
            const QTreeWidgetItem* last = tree->Root()->child(tree->Root()->childCount() - 1);
            const QPoint blank(tree->viewport()->width() / 2,
                               tree->visualItemRect(last).bottom() + 20);
            QVERIFY(!tree->itemAt(blank));
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, blank);
            QCOMPARE(SelectedNode(dialog), QStringLiteral("その他"));
            QVERIFY(OkEnabled(dialog));
            QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, blank);
            QCOMPARE(SelectedNode(dialog), QStringLiteral("その他"));
            // Ctrl+click, or Ctrl+Space, on the chosen node does not take the choice back.
            const QTreeWidgetItem* chosen = tree->Root()->child(2);
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              tree->visualItemRect(chosen).center());
            QCOMPARE(SelectedNode(dialog), QStringLiteral("その他"));
            QTest::keyClick(tree, Qt::Key_Space, Qt::ControlModifier);
            QCOMPARE(SelectedNode(dialog), QStringLiteral("その他"));
            QVERIFY(OkEnabled(dialog));
            // The keyboard still moves the choice.
            QTest::keyClick(tree, Qt::Key_Down);
            QCOMPARE(SelectedNode(dialog), QStringLiteral("にこにこ"));
            Click(dialog, "m_btnOK");
        });
        s.Command(id::kNewFace);
        QVERIFY(s.script.Done());
        QVERIFY(s.File().ends_with(test::FaceList({{"(ﾟдﾟ)", "にこにこ"}})));
    }

    void fixedSizeDialogsAskForNoMinimiseMaximiseOrResizing() {
        Session s;
        const std::optional<RecordId> record = s.dialog->Library().FindRecord("orz");
        QVERIFY(record);
        const LibraryView view = s.dialog->ListPage().View();
        CAddFaceDlg add(s.dialog, view, QStringLiteral("orz"), {});
        CPropertyDlg properties(s.dialog, view, QStringLiteral("orz"),
                                s.dialog->Library().Folder(*record));
        CMoveDlg moveDlg(s.dialog, view, {});
        CNewFolderDlg newFolder(&add);
        CAboutDlg about(s.fixture.DataDir(), s.dialog);
        for (QDialog* dialog :
             std::initializer_list<QDialog*>{&add, &properties, &moveDlg, &newFolder, &about}) {
            const Qt::WindowFlags flags = dialog->windowFlags();
            QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
            QVERIFY(flags & Qt::WindowCloseButtonHint);
            // Windows' thin frame of a dialog that keeps its size.
            QVERIFY(flags & Qt::MSWindowsFixedSizeDialogHint);
            QVERIFY(!dialog->minimumSize().isEmpty());
            QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
            QCOMPARE(dialog->size(), dialog->minimumSize());
        }

        // Where the window manager minimises one anyway, taking the window along, both come
        // back: the user is never left with no window.
        s.script.Then([&s](QDialog& dialog) {
            s.dialog->showMinimized();
            dialog.showMinimized();
            QTRY_VERIFY(dialog.isVisible() && !dialog.isMinimized());
            QVERIFY(!s.dialog->isMinimized());
        });
        s.Command(id::kNewFace);
        QVERIFY(s.script.Done());
    }

    void addFromTheCreateTabTakesTheComposedFaceIntoTheChosenFolder() {
        Session s(Library(), 1);
        s.ChooseFolder(QStringLiteral("しょぼん"));  // chosen on the list tab before
        const QString composed = Decode(s.dialog->GetCurrentFace());
        QVERIFY(!composed.isEmpty());
        s.script.Then([&composed](QDialog& dialog) {
            QCOMPARE(FaceEdit(dialog)->text(), composed);
            QCOMPARE(SelectedNode(dialog), QStringLiteral("しょぼん"));
            QVERIFY(OkEnabled(dialog));  // ready to confirm at once
            Choose(dialog, QStringLiteral("にこにこ"));
            Click(dialog, "m_btnOK");
        });
        QTest::mouseClick(s.fixture.Child<QPushButton>("m_btnAdd"), Qt::LeftButton);
        QVERIFY(s.script.Done());
        // The list follows the new emoticon's folder.
        QCOMPARE(s.combo->currentText(), QStringLiteral("にこにこ"));
        QCOMPARE(s.Rows().size(), 3);
        QCOMPARE(s.SelectedTexts(), QStringList{composed});
        QVERIFY(s.Saved());
    }

    void addClearsAnUsedSearchBox() {
        Session s;
        auto* search = s.fixture.Child<QLineEdit>("m_edtFind");
        auto addTo = [&s](const QString& folder, const QString& face) {
            s.script.Then([folder, face](QDialog& dialog) {
                Type(FaceEdit(dialog), face);
                Choose(dialog, folder);
                Click(dialog, "m_btnOK");
            });
            s.Command(id::kNewFace);
        };
        s.ChooseFolder(QStringLiteral("animals"));
        s.Command(id::kFindByText);
        search->setFocus();
        search->setText(QStringLiteral("ω"));
        QCOMPARE(s.Rows().size(), 2);
        addTo(QStringLiteral("その他"), QStringLiteral("(-_-)"));
        QVERIFY(search->text().isEmpty());
        QCOMPARE(s.Rows().size(), 7);  // the empty search lists everything
        QCOMPARE(s.SelectedTexts(), QStringList{"(-_-)"});
        QCOMPARE(s.combo->currentText(), QStringLiteral("その他"));
        addTo(QStringLiteral("にこにこ"), QStringLiteral("(o_o)"));
        QCOMPARE(s.Rows().size(), 8);

        // Back on a folder, the hidden box's text does not replace the folder's rows.
        search->setText(QStringLiteral("ω"));
        s.Command(id::kFindByLocation);
        s.ChooseFolder(QStringLiteral("animals"));
        addTo(QStringLiteral("その他"), QStringLiteral("(+_+)"));
        QVERIFY(search->text().isEmpty());
        QCOMPARE(s.combo->currentText(), QStringLiteral("その他"));
        QCOMPARE(s.Rows(), (QStringList{"(+_+)", "(-_-)", "m(_ _)m", "orz"}));
        QVERIFY(s.Saved());
    }

    void addRefusesDuplicatesAndCharactersTheFileCannotHold() {
        Session s;
        const std::string before = s.File();
        s.script.Then([&s](QDialog& dialog) {
            QLineEdit* edit = FaceEdit(dialog);
            Choose(dialog, QStringLiteral("その他"));
            Type(edit, QStringLiteral("orz"));
            Click(dialog, "m_btnOK");
            QCOMPARE(s.messages.Shown(),
                     QStringList{"'orz' は既に存在します。別の顔文字を入力してください。"});
            QVERIFY(dialog.isVisible());
            QCOMPARE(edit->text(), QStringLiteral("orz"));

            s.messages.ClearShown();
            Type(edit, QStringLiteral("ʕ•ᴥ•ʔ(｡•̀ᴗ-)✧"));
            Click(dialog, "m_btnOK");
            // Asked whether the library may become UTF-8; declined, the text is refused.
            QCOMPARE(s.messages.Shown().size(), 2);
            QVERIFY(s.messages.Shown().front().contains(QStringLiteral("UTF-8")));
            const QString message = s.messages.Shown().at(1);
            QVERIFY(message.startsWith(QStringLiteral("次の文字は保存できません")));
            for (const char* listed :
                 {"ʕ (U+0295)", "• (U+2022)", "ᴥ (U+1D25)", "◌̀ (U+0300)", "✧ (U+2727)"}) {
                QVERIFY2(message.contains(QString::fromUtf8(listed)), listed);
            }
            QCOMPARE(message.count(QStringLiteral("U+2022")), 1);  // each character once
            QVERIFY(!message.contains(QStringLiteral("U+FF61")));  // ｡ is half-width katakana
            QVERIFY(dialog.isVisible());
            QCOMPARE(edit->text(), QStringLiteral("ʕ•ᴥ•ʔ(｡•̀ᴗ-)✧"));

            // Pasted lines leave the first one; text around the cursor stays.
            Type(edit, QStringLiteral("[]"));
            edit->setCursorPosition(1);
            QGuiApplication::clipboard()->setText(QStringLiteral("ORZ\r\nsecond line\n"));
            edit->paste();
            QCOMPARE(edit->text(), QStringLiteral("[ORZ]"));
            QGuiApplication::clipboard()->setText(QStringLiteral("\u2028x"));
            edit->selectAll();
            edit->paste();
            QVERIFY(edit->text().isEmpty());
        });
        s.Command(id::kNewFace);
        QVERIFY(s.script.Done());
        QCOMPARE(s.File(), before);  // cancelled: nothing written
        QCOMPARE(s.Rows().size(), 6);
    }

    void newFolderRefusesTakenNamesAndJoinsTheTreeInOrder() {
        Session s;
        s.script
            .Then([&s](QDialog& dialog) {
                Type(FaceEdit(dialog), QStringLiteral("(´ω`)"));
                Click(dialog, "m_btnNewFolder");
                QCOMPARE(SelectedNode(dialog), QStringLiteral("Animals"));
                QCOMPARE(TreeFolders(dialog),
                         (QStringList{"Animals", "animals", "しょぼん", "その他", "にこにこ"}));
                QCOMPARE(Tree(dialog)->Root()->child(0)->icon(0).cacheKey(),
                         s.dialog->ListPage().View().images.openFolder.cacheKey());
                QVERIFY(OkEnabled(dialog));
                Click(dialog, "m_btnNewFolder");  // the same name again
                QCOMPARE(TreeFolders(dialog).size(), 5);
                Click(dialog, "m_btnOK");
            })
            .Then([&s](QDialog& dialog) {
                QCOMPARE(dialog.windowTitle(), QStringLiteral("フォルダの作成"));
                auto* edit = Find<QLineEdit>(dialog, "m_edtName");
                QCOMPARE(edit->accessibleName(), QStringLiteral("フォルダ名(F):"));
                QVERIFY(!OkEnabled(dialog));
                Type(edit, QStringLiteral("すべての顔文字"));
                QVERIFY(!OkEnabled(dialog));
                for (const QString& taken : {QStringLiteral("その他"), QStringLiteral("animals")}) {
                    s.messages.ClearShown();
                    Type(edit, taken);
                    Click(dialog, "m_btnOK");
                    QCOMPARE(s.messages.Shown(), QStringList{kTaken});
                    QVERIFY(dialog.isVisible());
                    QCOMPARE(edit->selectedText(), taken);
                }
                s.messages.ClearShown();
                Type(edit, QStringLiteral("ʕ•ᴥ•ʔ"));
                Click(dialog, "m_btnOK");
                QCOMPARE(s.messages.Shown().size(), 2);  // UTF-8 declined, then the refusal
                QVERIFY(s.messages.Shown().at(1).contains(QStringLiteral("U+0295")));
                QVERIFY(dialog.isVisible());
                Type(edit, QStringLiteral("Animals"));  // another case is another name
                Click(dialog, "m_btnOK");
            })
            .Then([&s](QDialog& dialog) {
                s.messages.ClearShown();
                auto* edit = Find<QLineEdit>(dialog, "m_edtName");
                QVERIFY(edit->text().isEmpty());  // each run starts afresh
                Type(edit, QStringLiteral("Animals"));
                Click(dialog, "m_btnOK");
                QCOMPARE(s.messages.Shown(), QStringList{kTaken});
            });
        s.Command(id::kNewFace);
        QVERIFY(s.script.Done());
        QCOMPARE(s.Folders(), (QStringList{"すべての顔文字", "最近使った顔文字", "Animals",
                                           "animals", "しょぼん", "その他", "にこにこ"}));
        QVERIFY(s.Saved());
    }

    void aFolderMadeButNotChosenLeavesNoTrace() {
        Session s;
        s.script
            .Then([](QDialog& dialog) {
                Type(FaceEdit(dialog), QStringLiteral("(´ω`)"));
                Click(dialog, "m_btnNewFolder");
                Choose(dialog, QStringLiteral("しょぼん"));
                Click(dialog, "m_btnOK");
            })
            .Then(NewFolder(QStringLiteral("新しい")));
        s.Command(id::kNewFace);
        QVERIFY(!s.Folders().contains(QStringLiteral("新しい")));
        QVERIFY(s.File().find(test::Sjis("新しい")) == std::string::npos);
        QVERIFY(s.Saved());
        QVERIFY(s.script.Done());
    }

    void propertiesConfirmedUnchangedKeepTheFileByteForByte() {
        // (\x85\x40) holds a code the code page does not assign.
        const std::string library =
            Library() + "(\x85\x40)\r\n" + test::Sjis("その他") + "\r\n\r\n";
        Session s(library);
        const int row = static_cast<int>(s.Rows().indexOf(QStringLiteral("(\uFFFD)")));
        QVERIFY(row >= 0);
        s.Select({s.Rows().at(row)});
        s.script.Then([&s](QDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("プロパティ"));
            auto* tab = Find<QTabWidget>(dialog, "m_tab");
            QCOMPARE(tab->count(), 1);
            QCOMPARE(tab->tabText(0), QStringLiteral("顔文字"));
            QLineEdit* edit = FaceEdit(dialog);
            QCOMPARE(dialog.focusWidget(), edit);
            QCOMPARE(edit->font().pointSize(), 16);
            QCOMPARE(SelectedNode(dialog), QStringLiteral("その他"));
            QVERIFY(OkEnabled(dialog));
            // A changed text with the unknown character cannot be stored.
            Type(edit, QStringLiteral("(\uFFFD)!"));
            Click(dialog, "m_btnOK");
            QCOMPARE(s.messages.Shown().size(), 2);  // UTF-8 declined, then the refusal
            QVERIFY(s.messages.Shown().at(1).contains(QStringLiteral("U+FFFD")));
            QVERIFY(dialog.isVisible());
            Type(edit, QStringLiteral("(\uFFFD)"));
            Click(dialog, "m_btnOK");
        });
        QFile::remove(s.fixture.PathOf(kFaceList));
        s.Command(id::kProperties);
        QVERIFY(s.script.Done());
        QCOMPARE(s.File(), library);  // written again, byte for byte
        QCOMPARE(s.SelectedTexts(), QStringList{"(\uFFFD)"});
    }

    void propertiesRefuseAnotherTextButTakeTheirOwnInAnotherCase() {
        Session s;
        s.Select({QStringLiteral("orz")});
        const int row = s.list->SelectedRows().front();
        s.script.Then([&s](QDialog& dialog) {
            Type(FaceEdit(dialog), QStringLiteral("m(_ _)m"));
            Click(dialog, "m_btnOK");
            QCOMPARE(s.messages.Shown(),
                     QStringList{"'m(_ _)m' は既に存在します。別の顔文字を入力してください。"});
            QVERIFY(dialog.isVisible());
            Type(FaceEdit(dialog), QStringLiteral("ORZ"));
            Click(dialog, "m_btnOK");
        });
        s.Command(id::kProperties);
        QCOMPARE(s.Rows().at(row), QStringLiteral("ORZ"));  // in place
        QCOMPARE(s.SelectedTexts(), QStringList{"ORZ"});
        QVERIFY(s.File().find("ORZ\r\n") != std::string::npos);
        QVERIFY(s.Saved());
    }

    void propertiesMovingOutOfTheShownFolderRemoveTheRow() {
        Session s;
        s.ChooseFolder(QStringLiteral("にこにこ"));
        s.Select({QStringLiteral("(^ω^)")});
        s.script.Then([](QDialog& dialog) {
            QCOMPARE(SelectedNode(dialog), QStringLiteral("にこにこ"));
            Choose(dialog, QStringLiteral("その他"));
            Click(dialog, "m_btnOK");
        });
        s.Command(id::kProperties);
        QCOMPARE(s.Rows(), QStringList{"(・∀・)"});
        QCOMPARE(s.SelectedTexts(), QStringList{"(・∀・)"});  // the row left takes its place
        QCOMPARE(s.combo->currentText(), QStringLiteral("にこにこ"));
        QVERIFY(s.Saved());
    }

    void propertiesEmptyingAFolderRemoveItSilently() {
        Session s;
        // Shown: the list goes back to every emoticon.
        s.ChooseFolder(QStringLiteral("しょぼん"));
        s.Select({QStringLiteral("(´・ω・｀)")});
        s.script.Then([](QDialog& dialog) {
            Choose(dialog, QStringLiteral("にこにこ"));
            Click(dialog, "m_btnOK");
        });
        s.Command(id::kProperties);
        QVERIFY(s.messages.Shown().isEmpty());
        QCOMPARE(s.Folders(), (QStringList{"すべての顔文字", "最近使った顔文字", "animals",
                                           "その他", "にこにこ"}));
        QCOMPARE(s.combo->currentIndex(), 0);
        QCOMPARE(s.Rows().size(), 6);
        QCOMPARE(s.SelectedTexts(), QStringList{"(´・ω・｀)"});
        QVERIFY(s.Saved());

        // Not shown: the row stays with its new folder.
        s.Select({QStringLiteral("(=^・^=)")});
        s.script.Then([](QDialog& dialog) {
            Choose(dialog, QStringLiteral("その他"));
            Click(dialog, "m_btnOK");
        });
        s.Command(id::kProperties);
        QCOMPARE(s.Folders(),
                 (QStringList{"すべての顔文字", "最近使った顔文字", "その他", "にこにこ"}));
        QCOMPARE(s.Rows(1).at(0), QStringLiteral("その他"));
        QCOMPARE(s.SelectedTexts(), QStringList{"(=^・^=)"});
        QVERIFY(s.Saved());
    }

    void readingsProposedForNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reading");
        const std::pair<const char16_t*, const char16_t*> rows[] = {
            {u"泣く", u"なく"},
            {u"笑う", u"わらう"},
            {u"怒り", u"いかり"},
            {u"挨拶", u"あいさつ"},
            {u"ネコ", u"ねこ"},
            {u"喜び", u"よろこび"},
            {u"喜び・楽しみ", u"よろこびたのしみ"},  // symbols and spaces are not read
            {u"くま　さん", u"くまさん"},
            {u"ｗｗ笑", u"ｗｗえみ"},  // letters stay, not spelled out
            {u"ｶﾞｯｶﾘ", u"がっかり"},   // a word the dictionary lacks, as written
            {u"すごーい", u"すごーい"},
            {u"顔文字2", u"かおもじ2"},
            {u"DS", u""},  // a reading with no kana helps no one
            {u"(^_^)", u""},
            {u" ", u""},
        };
        for (const auto& [name, reading] : rows) {
            QTest::newRow(QString::fromUtf16(name).toUtf8().constData())
                << QString::fromUtf16(name) << QString::fromUtf16(reading);
        }
    }
    void readingsProposedForNames() {
        QFETCH(QString, name);
        QFETCH(QString, reading);
        if (!CReadingProposer::Shared().Available()) {
            QSKIP("MeCab or its dictionary (mecab-ipadic-utf8) is not installed");
        }
        QCOMPARE(CReadingProposer::Shared().Propose(name), reading);
    }

    void newFolderProposesTheReadingUntilTheUserWritesOne() {
        if (!CReadingProposer::Shared().Available()) {
            QSKIP("MeCab or its dictionary (mecab-ipadic-utf8) is not installed");
        }
        CNewFolderDlg dialog;
        dialog.SetCharset(Charset(Encoding::Utf8));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* name = Find<QLineEdit>(dialog, "m_edtName");
        auto* reading = Find<QLineEdit>(dialog, "m_edtReading");
        QVERIFY(Find<QLabel>(dialog, "m_lblNoProposals")->isHidden());
        Type(name, QStringLiteral("喜び"));
        QCOMPARE(reading->text(), QStringLiteral("よろこび"));
        QCOMPARE(QApplication::focusWidget(), name);
        QTest::keyClick(name, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), reading);
        QTest::keyClick(reading, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), Find<QPushButton>(dialog, "m_btnOK"));
        // Written by the user, the reading stays whatever the name becomes.
        reading->setFocus();
        reading->end(false);
        QTest::keyClick(reading, Qt::Key_Backspace);
        Type(name, QStringLiteral("怒り"));
        QCOMPARE(reading->text(), QStringLiteral("よろこ"));
        // Cleared, it follows the name again.
        reading->selectAll();
        QTest::keyClick(reading, Qt::Key_Backspace);
        Type(name, QStringLiteral("挨拶"));
        QCOMPARE(reading->text(), QStringLiteral("あいさつ"));

        QTest::keyClicks(reading, QStringLiteral(" "));
        Click(dialog, "m_btnOK");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Reading(), QStringLiteral("あいさつ"));

        // The next run starts from its name, what the user wrote before forgotten.
        reading->setFocus();
        QTest::keyClicks(reading, QStringLiteral("x"));
        dialog.SetName("ﾈｺ");
        QCOMPARE(reading->text(), QStringLiteral("ねこ"));
    }

    void newFolderSaysWhereNoReadingIsProposed() {
        CReadingProposer missing("-r /nonexistent/mecabrc");
        CNewFolderDlg dialog;
        dialog.SetReadingProposer(missing);
        const int height = dialog.height();
        dialog.show();
        auto* note = Find<QLabel>(dialog, "m_lblNoProposals");
        QVERIFY(note->isVisible());
        QVERIFY(dialog.height() > height);
        QVERIFY(dialog.rect().contains(note->geometry()));
        Type(Find<QLineEdit>(dialog, "m_edtName"), QStringLiteral("喜び"));
        QVERIFY(Find<QLineEdit>(dialog, "m_edtReading")->text().isEmpty());
    }

    void moveWaitsForAFolderAndEmptiesTheShownOne() {
        Session s;
        s.ChooseFolder(QStringLiteral("その他"));
        s.Select({QStringLiteral("m(_ _)m"), QStringLiteral("orz")});
        s.script.Then([](QDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("移動"));
            QCOMPARE(Tree(dialog)->accessibleName(), QStringLiteral("顔文字の移動先(M):"));
            QCOMPARE(SelectedNode(dialog), QStringLiteral("その他"));
            QVERIFY(!OkEnabled(dialog));
            Choose(dialog, QStringLiteral("その他"));  // already selected: no change
            QVERIFY(!OkEnabled(dialog));
            Choose(dialog, QStringLiteral("すべての顔文字"));
            QVERIFY(!OkEnabled(dialog));
            Choose(dialog, QStringLiteral("にこにこ"));
            QVERIFY(OkEnabled(dialog));
            Click(dialog, "m_btnOK");
        });
        s.Command(id::kMove);
        QVERIFY(s.messages.Shown().isEmpty());
        QCOMPARE(s.combo->currentIndex(), 0);
        QCOMPARE(s.Folders(), (QStringList{"すべての顔文字", "最近使った顔文字", "animals",
                                           "しょぼん", "にこにこ"}));
        QCOMPARE(s.Rows().size(), 6);
        QCOMPARE(s.Rows(1).count(QStringLiteral("にこにこ")), 4);
        QCOMPARE(s.list->SelectedRows(), std::vector<int>{0});
        QVERIFY(s.Saved());
    }

    void moveFromTwoFoldersIntoANewOneRemovesBoth() {
        Session s;
        s.Select(
            {QStringLiteral("(=^・^=)"), QStringLiteral("(´・ω・｀)"), QStringLiteral("(^ω^)")});
        s.script
            .Then([](QDialog& dialog) {
                QCOMPARE(SelectedNode(dialog), QStringLiteral("すべての顔文字"));
                Click(dialog, "m_btnNewFolder");
                QCOMPARE(SelectedNode(dialog), QStringLiteral("顔"));
                QVERIFY(OkEnabled(dialog));
                Click(dialog, "m_btnOK");
            })
            .Then(NewFolder(QStringLiteral("顔")));
        s.Command(id::kMove);
        QVERIFY(s.script.Done());
        QVERIFY(s.messages.Shown().isEmpty());
        QCOMPARE(s.Folders(),
                 (QStringList{"すべての顔文字", "最近使った顔文字", "その他", "にこにこ", "顔"}));
        QCOMPARE(s.Rows(1), (QStringList{"顔", "顔", "にこにこ", "顔", "その他", "その他"}));
        QVERIFY(s.Saved());
    }

    void moveOfManyRowsChangesTheListInOneStep() {
        std::string library;
        for (int i = 0; i < 400; ++i) {
            library += "face" + std::to_string(1000 + i) + "\r\nA\r\n\r\n";
        }
        Session s(library + "other\r\nB\r\n\r\n");
        auto everyOther = [&s] {
            QItemSelection selection;
            const QAbstractItemModel* model = s.list->DetailsView()->model();
            for (int row = 0; row < model->rowCount(); row += 2) {
                selection.select(model->index(row, 0), model->index(row, 1));
            }
            s.list->SelectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
        };
        auto toB = [](QDialog& dialog) {
            Choose(dialog, QStringLiteral("B"));
            Click(dialog, "m_btnOK");
        };
        const QAbstractItemModel* model = s.list->DetailsView()->model();
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy reset(model, &QAbstractItemModel::modelReset);

        everyOther();
        s.script.Then(toB);
        s.Command(id::kMove);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(s.Rows(1).count(QStringLiteral("B")), 201);
        QVERIFY(s.Saved());

        s.ChooseFolder(QStringLiteral("A"));
        reset.clear();
        everyOther();  // 100 of the 200 rows left in A
        s.script.Then(toB);
        s.Command(id::kMove);
        QCOMPARE(removed.count() + reset.count(), 1);
        QCOMPARE(s.Rows().size(), 100);
        QCOMPARE(s.dialog->Library().CountFacesInFolder("B"), 301);
        QVERIFY(s.Saved());
    }
};

}  // namespace mopira

QTEST_MAIN(mopira::TestDialogs)
#include "test_dialogs.moc"
