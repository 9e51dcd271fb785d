#pragma once

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "LibraryFiles.h"
#include "core/text/Charset.h"
#include "store/LibraryDocument.h"
#include "store/RecentFaces.h"
#include "ui/app/MainDlg.h"
#include "ui/builder/CreatePage.h"
#include "ui/library/ListPage.h"
#include "ui/platform/TextConvert.h"

namespace mopira::test {

// The popup menu the next event opens: `act` runs on it once it is open, and a menu it leaves
// open is closed. Set up just before the event that opens the menu.
inline void OnNextPopup(std::function<void(QMenu&)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            act(*menu);
            if (menu->isVisible()) {
                menu->close();
            }
        }
    });
}

// Chooses in `menu`, as the keyboard does, the first enabled action `wanted` accepts; false
// when there is none.
inline bool PickAction(QMenu& menu, const std::function<bool(const QAction&)>& wanted) {
    for (QAction* action : menu.actions()) {
        if (action->isEnabled() && wanted(*action)) {
            menu.setActiveAction(action);
            QTest::keyClick(&menu, Qt::Key_Return);
            return true;
        }
    }
    return false;
}

inline QString Decode(std::string_view bytes) {
    return ToQString(bytes, Charset());
}

// A data folder and a settings file of the test's own, and the main window opened on them.
class CMainDlgFixture {
public:
    CMainDlgFixture() : m_settings(m_dir.filePath(QStringLiteral("mopira.ini"))) {}

    QString DataDir() const { return m_dir.path(); }
    QString SettingsPath() const { return m_settings; }
    QString PathOf(const QString& name) const { return m_dir.filePath(name); }

    void WriteFile(const QString& name, const std::string& bytes) const {
        QDir().mkpath(QFileInfo(PathOf(name)).path());
        QFile file(PathOf(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    // What a file holds once the window's saves are done.
    std::string ReadFile(const QString& name) const {
        if (m_dialog) {
            m_dialog->Document().Flush();
        }
        QFile file(PathOf(name));
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return file.readAll().toStdString();
    }
    void WriteSetting(const QString& key, int value) const {
        QSettings(m_settings, QSettings::IniFormat).setValue(key, value);
    }
    QVariant Setting(const QString& key) const {
        return QSettings(m_settings, QSettings::IniFormat).value(key);
    }

    // The window as the program makes it: on a library and a recent list of its own.
    CMainDlg* Create() {
        Close();
        m_document = std::make_unique<CLibraryDocument>(DataDir());
        m_recent = std::make_unique<CRecentFaces>(*m_document);
        m_dialog = std::make_unique<CMainDlg>(*m_document, *m_recent, SettingsPath());
        return m_dialog.get();
    }
    // Shown and exposed, the library still being read.
    CMainDlg* OpenWhileLoading() {
        Create();
        m_dialog->show();
        return QTest::qWaitForWindowExposed(m_dialog.get()) ? m_dialog.get() : nullptr;
    }
    CMainDlg* Open() {
        Create();
        QSignalSpy painted(m_dialog.get(), &CMainDlg::firstPainted);
        m_dialog->show();
        if (!QTest::qWaitForWindowExposed(m_dialog.get()) ||
            !QTest::qWaitFor([this] { return m_dialog->Document().IsLoaded(); })) {
            return nullptr;
        }
        // The tray and the shortcut start after the first paint; a window the platform never
        // paints starts them a moment later anyway.
        static_cast<void>(QTest::qWaitFor([&painted] { return !painted.isEmpty(); }, 2000));
        return m_dialog.get();
    }
    CMainDlg* Dialog() const { return m_dialog.get(); }
    void Close() {
        m_dialog.reset();
        m_recent.reset();
        m_document.reset();
    }

    template <class T>
    T* Child(const char* name) const {
        return m_dialog->findChild<T*>(QString::fromLatin1(name));
    }

private:
    QTemporaryDir m_dir;
    QString m_settings;
    std::unique_ptr<CLibraryDocument> m_document;
    std::unique_ptr<CRecentFaces> m_recent;
    std::unique_ptr<CMainDlg> m_dialog;
};

}  // namespace mopira::test
