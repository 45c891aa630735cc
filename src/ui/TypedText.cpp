#include "TypedText.h"

#include "QtText.h"
#include "ViewSupport.h"

#include "platform/Cp1250.h"
#include "platform/NameRules.h"
#include "session/Session.h"

#include <QLineEdit>
#include <QMessageBox>

namespace quill::ui {

std::optional<std::string> storableText(Session& session, QWidget* parent, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    const auto letter = cp1250::firstUnheldLetter(std::string_view(utf8.constData(), utf8.size()));
    if (!letter)
        return fromQt(text);
    // The letter alone may be invisible (an unusual space) or look like
    // another one: its code point says which it is.
    const QString named = QString::fromStdString(*letter);
    const char32_t codePoint = named.toUcs4().value(0);
    const QString shown =
        QStringLiteral("%1 (U+%2)").arg(named, QString::number(codePoint, 16).toUpper().rightJustified(4, u'0'));
    session.ui.beep();
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quill!"),
                    languageText(session, "TYPED_TEXT", "WARNING_1", "Warnings") + " " + shown, QMessageBox::Ok,
                    parent);
    box.setObjectName("UnstorableLetter");
    box.exec();
    return std::nullopt;
}

bool storableBoxes(Session& session, QWidget* view) {
    for (QLineEdit* box : view->findChildren<QLineEdit*>()) {
        if (!storableText(session, view, box->text())) {
            box->setFocus();
            box->selectAll();
            return false;
        }
    }
    return true;
}

bool refuseName(Session& session, std::string_view section, std::string_view name) {
    const NameFault fault = nameFault(name);
    if (fault == NameFault::None)
        return false;
    std::string text = session.texts.lookup(section, "WARNING_" + std::to_string(static_cast<int>(fault)), "Warnings");
    const std::string_view marker = "$LETTERS$";
    if (const auto at = text.find(marker); at != std::string::npos)
        text.replace(at, marker.size(), std::to_string(kMaxNameLetters));
    session.ui.beep();
    session.ui.showMessage(MessageKind::Warning, text);
    return true;
}

} // namespace quill::ui
