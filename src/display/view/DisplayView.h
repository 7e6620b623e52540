#pragma once
// The show's window: paints the display form model through a painter of its
// own, only when the model changed. The view keeps no
// presentation state: mouse presses go to the handler it was given.

#include <QWidget>
#include <functional>

#include "display/DisplayForm.h"
#include "display/view/DisplayPainter.h"

namespace quilo {

class DisplayView : public QWidget {
    Q_OBJECT
  public:
    explicit DisplayView(const DisplayForm& model, QWidget* parent = nullptr);
    // A view whose model is handed over later, by whoever builds the model
    // after its views; it paints an empty display until then.
    DisplayView() : DisplayView(blankForm()) {}
    // An empty display, to show until a model is set.
    static const DisplayForm& blankForm() {
        static const DisplayForm blank;
        return blank;
    }
    void setModel(const DisplayForm& model) {
        model_ = &model;
        paintedOnce_ = false;
    }

    // Receives the button code of a press anywhere on the form (1 left, 2 right, 4 middle).
    void setMouseHandler(std::function<void(int)> handler) { onPress_ = std::move(handler); }
    // Runs instead of closing when the window is closed through its frame.
    void setCloseHandler(std::function<void()> handler) { onClose_ = std::move(handler); }
    // Receives the Qt key code of every key pressed on the form; true when it
    // was used.
    void setKeyHandler(std::function<bool(int)> handler) { onKey_ = std::move(handler); }

    // Paint at once, or schedule a paint, only when the model differs from
    // what was painted last: procedures ask for repaints far more often than
    // the picture changes (three in a row for the labels, one a clock tick).
    void paintNowIfChanged();
    void updateIfChanged();
    // A picture file changed on disk: it is read again and the display repainted.
    void pictureChanged(const QString& file) {
        painter_.pictures().forget(file);
        paintedOnce_ = false;
        update();
    }

    // Shows the window filling its screen, full screen or maximised. Its
    // geometry is set first: on a machine with no window manager (a kiosk)
    // nobody else would, and it would stay a small window in a corner.
    void showFilling(bool fullScreen);

    // Pictures the show will need next, each with the size in twips it will
    // be drawn at (empty when not known): decoded and scaled ahead, in the
    // background.
    void preload(const QList<QPair<QString, QSizeF>>& pictures);

    // "Schermo nero": the audience sees black, whatever the show paints,
    // until it is lifted; the show goes on underneath.
    void setBlackedOut(bool black);

    // The pixel rectangle the display area occupies in the widget.
    QRectF areaRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    const DisplayForm& model() const { return *model_; }

    const DisplayForm* model_;
    DisplayForm painted_;  // the model as the last paint showed it
    bool paintedOnce_ = false;
    bool black_ = false;
    DisplayPainter painter_;
    std::function<void(int)> onPress_;
    std::function<void()> onClose_;
    std::function<bool(int)> onKey_;
};

}  // namespace quilo
