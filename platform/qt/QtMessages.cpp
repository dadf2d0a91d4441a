#include "platform/qt/QtMessages.h"

#include "platform/qt/QtText.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QVariant>

namespace platform {

namespace {

const char* const kIdProperty = "messageId";

QString ButtonText(int id)
{
    switch (id) {
    case IDCANCEL:
        return QString::fromUtf8("キャンセル");
    case IDABORT:
        return QString::fromUtf8("中止(&A)");
    case IDRETRY:
        return QString::fromUtf8("再試行(&R)");
    case IDIGNORE:
        return QString::fromUtf8("無視(&I)");
    case IDYES:
        return QString::fromUtf8("はい(&Y)");
    case IDNO:
        return QString::fromUtf8("いいえ(&N)");
    default:
        return QStringLiteral("OK");
    }
}

QMessageBox::ButtonRole ButtonRole(int id)
{
    switch (id) {
    case IDCANCEL:
    case IDABORT:
        return QMessageBox::RejectRole;
    case IDYES:
        return QMessageBox::YesRole;
    case IDNO:
        return QMessageBox::NoRole;
    case IDIGNORE:
    case IDRETRY:
        return QMessageBox::ActionRole;
    default:
        return QMessageBox::AcceptRole;
    }
}

QMessageBox::Icon BoxIcon(unsigned type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

void QtMessages::Prepare(QMessageBox& box, const std::string& text, const std::string& caption, unsigned type)
{
    box.setText(Cp932ToQString(text));
    box.setTextFormat(Qt::PlainText);
    box.setWindowTitle(caption.empty() ? QString::fromUtf8("エラー") : Cp932ToQString(caption));
    box.setIcon(BoxIcon(type));

    const int defaultId = DefaultMessageAnswer(type);
    const int escapeId = EscapeMessageAnswer(type);
    for (int id : MessageButtons(type)) {
        QPushButton* button = box.addButton(ButtonText(id), ButtonRole(id));
        button->setProperty(kIdProperty, id);
        if (id == defaultId)
            box.setDefaultButton(button);
        if (id == escapeId)
            box.setEscapeButton(button);
    }
}

int QtMessages::Answer(const QMessageBox& box, unsigned type)
{
    if (const QAbstractButton* clicked = box.clickedButton()) {
        bool ok = false;
        const int id = clicked->property(kIdProperty).toInt(&ok);
        if (ok)
            return id;
    }
    const int escape = EscapeMessageAnswer(type);
    return escape ? escape : DefaultMessageAnswer(type);
}

int QtMessages::Show(const std::string& text, const std::string& caption, unsigned type)
{
    QMessageBox box(QApplication::activeWindow());
    Prepare(box, text, caption, type);
    box.exec();
    return Answer(box, type);
}

} // namespace platform
