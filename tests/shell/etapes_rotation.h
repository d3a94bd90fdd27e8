#pragma once
// Follows a repeated rotation ("Tourner ...") step by step, as the user sees it: each step
// turns the view and repaints the window at once while the stop window is up, so a paint of
// the drawing that finds the view's angles changed shows one more step.

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <utility>
#include <vector>

#include "shell/afficheur.h"
#include "shell/outils_3d.h"

class EtapesRotation : public QObject {
public:
    // `angles` reads the view's angles; `etape` runs once for each step shown, when the loop
    // lets events run after it (where a click on the stop window would be taken).
    EtapesRotation(karst::TForm1& f, karst::TAfficheur& a, std::function<std::vector<double>()> angles,
                   std::function<void()> etape)
        : f_(f), image_(a.Image2), angles_(std::move(angles)), etape_(std::move(etape)), dernier_(angles_())
    {
        image_->installEventFilter(this);
    }
    ~EtapesRotation() override
    {
        if (image_)
            image_->removeEventFilter(this);
    }
    EtapesRotation(const EtapesRotation&) = delete;
    EtapesRotation& operator=(const EtapesRotation&) = delete;

    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) {
            std::vector<double> a = angles_();
            if (a != dernier_) {
                dernier_ = std::move(a);
                if (karst::Arret(f_).isVisible())
                    QMetaObject::invokeMethod(this, etape_, Qt::QueuedConnection);
            }
        }
        return false;
    }

private:
    karst::TForm1& f_;
    QPointer<QWidget> image_;
    std::function<std::vector<double>()> angles_;
    std::function<void()> etape_;
    std::vector<double> dernier_;
};
