#pragma once

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <memory>

#include "core/shell/AboutPresenter.h"
#include "ui/FormBinder.h"

class QFrame;
class QLabel;

namespace pt {

// The About box: a modeless view over AboutPresenter, one instance at a time. It
// deletes itself when closed; the next request builds a fresh one.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    // Twips per pixel at 96 dpi: the logo moves one twip per tick.
    static constexpr int TwipsPerPixel = 15;

    explicit AboutDialog(std::unique_ptr<AboutPresenter> presenter, QWidget* parent = nullptr);
    ~AboutDialog() override;

    // Shows the About box: the open one is raised unchanged, else a new one is made with
    // the presenter `make` gives (made only then).
    static AboutDialog* showInstance(const std::function<std::unique_ptr<AboutPresenter>()>& make,
                                     QWidget* parent = nullptr);
    // The open About box, or null.
    static AboutDialog* instance();

    AboutPresenter& presenter() { return *m_presenter; }
    // Controls of the window that no widget carries (none when the view is complete).
    std::vector<std::string> unboundControls() const { return m_binder->unboundControls(); }
    QTimer& scrollTimer() { return m_timer; }
    // One scrolling tick, as Timer1 runs it.
    void tick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void onClicked(ControlId id);
    void placeLogo();
    void followHover();

    std::unique_ptr<AboutPresenter> m_presenter;
    FormBinder* m_binder = nullptr;
    QFrame* m_logoFrame = nullptr;
    QWidget* m_viewport = nullptr;
    QLabel* m_logoStrip = nullptr;
    QTimer m_timer;
    static QPointer<AboutDialog> s_instance;
};

}  // namespace pt
