#include "ui/app/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace mopira {

bool InstallQtTranslation() {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application) {
        return false;
    }
    static const QString kObjectName = QStringLiteral("qtbase_ja");
    if (application->findChild<QTranslator*>(kObjectName, Qt::FindDirectChildrenOnly)) {
        return true;
    }
    // The interface is Japanese for everyone, so the file is named, not found by locale.
    auto* translator = new QTranslator(application);
    if (!translator->load(kObjectName, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    translator->setObjectName(kObjectName);
    QCoreApplication::installTranslator(translator);
    return true;
}

}  // namespace mopira
