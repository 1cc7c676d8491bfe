#include "QtMessageBox.h"

#include <QMessageBox>

namespace pt {

namespace {

void Fill(QMessageBox& box, const std::string& text, const std::string& title, MsgIcon icon) {
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
}

}  // namespace

void QtMessageBox::notify(const std::string& text, const std::string& title, MsgIcon icon) {
    // Shown without a nested event loop: whoever raised it (a tick, a system's answer)
    // returns at once and the timers keep firing. Modal to the application as show() is.
    auto* box = new QMessageBox(m_parent);
    Fill(*box, text, title, icon);
    box->setStandardButtons(QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    box->show();
}

MsgAnswer QtMessageBox::show(const std::string& text, const std::string& title, MsgButtons buttons,
                             MsgIcon icon, MsgDefault defaultButton) {
    QMessageBox box(m_parent);
    Fill(box, text, title, icon);
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
