#include "QtLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace quill::ui {

bool useLanguage(const std::string& code) {
    const QLocale locale(QString::fromStdString(code));
    // The date editors take their month names and formats from here.
    QLocale::setDefault(locale);

    static const QString kName = QStringLiteral("QtOwnTexts");
    if (auto* before = qApp->findChild<QTranslator*>(kName, Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(before);
        delete before;
    }
    auto* translator = new QTranslator(qApp);
    translator->setObjectName(kName);
    if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
        return true;
    }
    delete translator;
    return locale.language() == QLocale::English;
}

} // namespace quill::ui
