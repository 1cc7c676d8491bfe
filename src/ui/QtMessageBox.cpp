#include "QtMessageBox.h"

#include <QMessageBox>

namespace pt {

MsgAnswer QtMessageBox::show(const std::string& text, const std::string& title, MsgButtons buttons,
                             MsgIcon icon, MsgDefault defaultButton) {
    QMessageBox box(m_parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setTextFormat(Qt::PlainText);  // a message may quote what the user typed
    box.setText(QString::fromStdString(text));
    box.setWindowTitle(QString::fromStdString(title));
    switch (icon) {
        case MsgIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MsgIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MsgIcon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case MsgIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case MsgIcon::Stop:
            box.setIcon(QMessageBox::Critical);
            break;
    }
    QMessageBox::StandardButton first = QMessageBox::Ok, second = QMessageBox::NoButton;
    if (buttons == MsgButtons::OkCancel) second = QMessageBox::Cancel;
    if (buttons == MsgButtons::YesNo) {
        first = QMessageBox::Yes;
        second = QMessageBox::No;
    }
    box.setStandardButtons(second == QMessageBox::NoButton ? first : (first | second));
    box.setDefaultButton(
        defaultButton == MsgDefault::Second && second != QMessageBox::NoButton ? second : first);
    box.setEscapeButton(second != QMessageBox::NoButton ? second : first);
    switch (box.exec()) {
        case QMessageBox::Cancel:
            return MsgAnswer::Cancel;
        case QMessageBox::Yes:
            return MsgAnswer::Yes;
        case QMessageBox::No:
            return MsgAnswer::No;
        default:
            return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    }
}

}  // namespace pt
