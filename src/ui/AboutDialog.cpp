#include "AboutDialog.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "FormBinder.h"
#include "Skin.h"
#include "core/form/DialogControls.h"
#include "core/online/Site.h"
#include "core/texts/ProgramName.h"

namespace pt {

QPointer<AboutDialog> AboutDialog::s_instance;

namespace {

constexpr int LogoWidth = 112;
constexpr int FrameHeight = 150;
constexpr int StripHeight = 260;

// The logo strip: the product's mark, a pointer trail and the maker's name, one above
// the other, so the strip reads well as it scrolls through the frame. Drawn for the
// screen's device pixel ratio, so it stays sharp on scaled screens.
QPixmap LogoStrip(qreal pixelRatio) {
    QPixmap pixmap(QSize(LogoWidth, StripHeight) * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, StripHeight);
    sky.setColorAt(0, QColor(0xDC, 0xEA, 0xF7));
    sky.setColorAt(1, QColor(0xF7, 0xFB, 0xFF));
    p.fillRect(QRect(0, 0, LogoWidth, StripHeight), sky);

    // A mouse.
    p.setPen(QPen(QColor(0x2F, 0x5C, 0x8A), 3));
    p.setBrush(QColor(0xFF, 0xFF, 0xFF));
    const QRectF body(LogoWidth / 2.0 - 22, 20, 44, 66);
    p.drawRoundedRect(body, 22, 22);
    p.drawLine(QPointF(body.center().x(), body.top()), QPointF(body.center().x(), body.top() + 24));
    p.drawLine(QPointF(body.left(), body.top() + 24), QPointF(body.right(), body.top() + 24));

    // Its trail.
    QPainterPath trail(QPointF(body.center().x(), body.bottom() + 4));
    trail.cubicTo(QPointF(10, 120), QPointF(100, 140), QPointF(30, 170));
    p.setPen(QPen(QColor(0x3D, 0x8F, 0x5A), 2, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawPath(trail);

    QFont font(QStringLiteral("Noto Sans"));
    font.setBold(true);
    font.setPixelSize(17);
    p.setFont(font);
    p.setPen(QColor(0x1F, 0x3F, 0x66));
    p.drawText(QRect(0, 182, LogoWidth, 26), Qt::AlignCenter, QString::fromUtf8(ProgramName));
    font.setBold(false);
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(QColor(0x55, 0x66, 0x77));
    p.drawText(QRect(0, 212, LogoWidth, 20), Qt::AlignCenter, QString::fromUtf8(MakerName));
    return pixmap;
}

// Whole pixels of a position in twips, rounded down also below zero.
int TwipsToPixels(int twips) {
    return twips >= 0 ? twips / AboutDialog::TwipsPerPixel
                      : -((-twips + AboutDialog::TwipsPerPixel - 1) / AboutDialog::TwipsPerPixel);
}

QLabel* NewLabel(QWidget* parent, ControlId id, bool link = false) {
    auto* label = new QLabel(parent);
    label->setObjectName(ObjectName(id));
    label->setTextFormat(link ? Qt::RichText : Qt::PlainText);
    if (link) {
        label->setCursor(Qt::PointingHandCursor);
        label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    }
    label->setMouseTracking(true);
    return label;
}

}  // namespace

AboutDialog::AboutDialog(SettingsStore& store, Shell& shell, Language lang, AboutFacts facts,
                         QWidget* parent)
    : AboutDialog(std::make_unique<AboutPresenter>(store, shell, lang, std::move(facts)), parent) {}

AboutDialog::AboutDialog(std::unique_ptr<AboutPresenter> presenter, QWidget* parent)
    : QDialog(parent), m_presenter(std::move(presenter)) {
    setObjectName(ObjectName(about_controls::Window));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setMouseTracking(true);
    ApplySkin(this);

    // Logo frame on the left, texts on the right, the button below.
    // The strip scrolls inside a viewport one pixel in from the frame's edge, so the
    // hover border stays visible over it.
    m_logoFrame = new QFrame(this);
    m_logoFrame->setObjectName(ObjectName(about_controls::LogoFrame));
    m_logoFrame->setFixedSize(LogoWidth + 2, FrameHeight + 2);
    m_logoFrame->setFrameShape(QFrame::NoFrame);
    m_logoFrame->setMouseTracking(true);
    m_logoFrame->setCursor(Qt::PointingHandCursor);
    m_viewport = new QWidget(m_logoFrame);
    m_viewport->setGeometry(1, 1, LogoWidth, FrameHeight);
    m_viewport->setMouseTracking(true);
    m_viewport->installEventFilter(this);
    m_logoStrip = new QLabel(m_viewport);
    m_logoStrip->setObjectName(ObjectName(about_controls::LogoStrip));
    m_logoStrip->setPixmap(LogoStrip(devicePixelRatioF()));
    m_logoStrip->setGeometry(0, 0, LogoWidth, StripHeight);
    m_logoStrip->setMouseTracking(true);
    m_logoFrame->installEventFilter(this);
    m_logoStrip->installEventFilter(this);

    auto* texts = new QGridLayout;
    texts->setHorizontalSpacing(6);
    texts->setVerticalSpacing(8);
    auto* heading = NewLabel(this, about_controls::VersionAndMaker);
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.15);
    heading->setFont(headingFont);
    texts->addWidget(heading, 0, 0, 1, 2);
    texts->addWidget(NewLabel(this, about_controls::Version), 1, 0, 1, 2);
    texts->addWidget(NewLabel(this, about_controls::ComputerAndUser), 2, 0, 1, 2);
    texts->addWidget(NewLabel(this, about_controls::SiteCaption), 3, 0);
    texts->addWidget(NewLabel(this, about_controls::Site, true), 3, 1);
    texts->addWidget(NewLabel(this, about_controls::BackupSiteCaption), 4, 0);
    texts->addWidget(NewLabel(this, about_controls::BackupSite, true), 4, 1);
    texts->addWidget(NewLabel(this, about_controls::Mail, true), 5, 0, 1, 2);
    texts->setRowStretch(6, 1);

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(m_logoFrame, 0, Qt::AlignTop);
    top->addLayout(texts, 1);

    auto* ok = new QPushButton(this);
    ok->setObjectName(ObjectName(about_controls::Ok));
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);

    // What is measured and kept, and where: under the logo and the texts.
    auto* kept = NewLabel(this, about_controls::KeptData);
    kept->setWordWrap(true);
    kept->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(top);
    layout->addWidget(kept);
    layout->addLayout(buttons);

    m_presenter->setLogoGeometry(FrameHeight * TwipsPerPixel, StripHeight * TwipsPerPixel);
    m_binder = new FormBinder(m_presenter->form(), this, [this](ControlId id) { onClicked(id); });
    m_binder->bindCustom(about_controls::Window, [this](const Control& c) {
        setWindowTitle(QString::fromStdString(c.text));
    });
    m_binder->bindCustom(about_controls::LogoFrame, [](const Control&) {});
    m_binder->bindCustom(about_controls::LogoStrip, [](const Control&) {});
    m_binder->bindChildren();
    m_binder->syncAll();

    m_timer.setInterval(AboutPresenter::TimerIntervalMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &AboutDialog::tick);
    followHover();
}

AboutDialog::~AboutDialog() = default;

AboutDialog* AboutDialog::instance() {
    return s_instance.data();
}

AboutDialog* AboutDialog::showInstance(SettingsStore& store, Shell& shell, Language lang,
                                       AboutFacts facts, QWidget* parent) {
    return showInstance(
        [&] { return std::make_unique<AboutPresenter>(store, shell, lang, std::move(facts)); },
        parent);
}

AboutDialog* AboutDialog::showInstance(const std::function<std::unique_ptr<AboutPresenter>()>& make,
                                       QWidget* parent) {
    if (!s_instance) s_instance = new AboutDialog(make(), parent);
    AboutDialog* box = s_instance.data();
    if (box->isMinimized()) box->showNormal();
    box->show();
    box->raise();
    box->activateWindow();
    return box;
}

void AboutDialog::onClicked(ControlId id) {
    m_presenter->click(id);
    if (m_presenter->closeRequested()) close();
}

void AboutDialog::tick() {
    m_presenter->onScrollTick();
    placeLogo();
}

void AboutDialog::placeLogo() {
    const int y = TwipsToPixels(m_presenter->logoTop());
    if (m_logoStrip->y() != y) m_logoStrip->move(0, y);
}

// Mirrors the presenter's timer and border after a pointer move.
void AboutDialog::followHover() {
    const bool run = m_presenter->timerEnabled();
    if (run && !m_timer.isActive()) m_timer.start();
    if (!run && m_timer.isActive()) m_timer.stop();
    const auto shape = m_presenter->logoBorder() ? QFrame::Box : QFrame::NoFrame;
    if (m_logoFrame->frameShape() != shape) {
        m_logoFrame->setFrameShape(shape);
        m_logoFrame->setLineWidth(1);
    }
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_logoFrame || watched == m_viewport || watched == m_logoStrip) {
        switch (event->type()) {
            case QEvent::Enter:
                m_presenter->onPointerOverLogo();
                followHover();
                break;
            case QEvent::MouseMove:
                m_presenter->onPointerOverLogo();
                followHover();
                // Handled here: passed on, the move would reach the box's own handler,
                // which starts the scrolling again.
                return true;
            case QEvent::Leave:
                // Leaving the logo means the pointer is over the rest of the box (or has
                // left the window): the strip scrolls on.
                if (watched == m_logoFrame) {
                    m_presenter->onPointerOverWindow();
                    followHover();
                }
                break;
            case QEvent::MouseButtonPress:
                if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                    onClicked(watched == m_logoStrip ? about_controls::LogoStrip
                                                     : about_controls::LogoFrame);
                    return true;
                }
                break;
            default:
                break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void AboutDialog::mouseMoveEvent(QMouseEvent* event) {
    if (!m_logoFrame->geometry().contains(event->position().toPoint())) {
        m_presenter->onPointerOverWindow();
        followHover();
    }
    QDialog::mouseMoveEvent(event);
}

void AboutDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // On a screen with another pixel ratio than the one it was made for, draw it again.
    const QPixmap current = m_logoStrip->pixmap();
    if (!qFuzzyCompare(current.devicePixelRatio(), devicePixelRatioF()))
        m_logoStrip->setPixmap(LogoStrip(devicePixelRatioF()));
}

}  // namespace pt
