#include "scene3d/panneau.h"

#include <GL/gl.h>

#include <cmath>

#include "scene3d/scene.h"

namespace karst {

PanneauOpenGL::PanneauOpenGL(QWidget* parent) : QOpenGLWidget(parent)
{
    setObjectName("Support_OpenGL");
    QSurfaceFormat f = format();
    f.setRedBufferSize(8);
    f.setGreenBufferSize(8);
    f.setBlueBufferSize(8);
    f.setDepthBufferSize(24);
    f.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    // Immediate mode needs the compatibility profile.
    f.setProfile(QSurfaceFormat::CompatibilityProfile);
    f.setRenderableType(QSurfaceFormat::OpenGL);
    setFormat(f);
}

PanneauOpenGL::~PanneauOpenGL()
{
    if (scene_) {
        TsceneGL* s = scene_;
        scene_ = nullptr;
        s->panneau_ = nullptr;
        s->Active = 0;
    }
}

int PanneauOpenGL::LargeurPixels() const { return static_cast<int>(std::lround(width() * devicePixelRatioF())); }

int PanneauOpenGL::HauteurPixels() const { return static_cast<int>(std::lround(height() * devicePixelRatioF())); }

void PanneauOpenGL::Attache(TsceneGL* scene)
{
    if (scene_ && scene_ != scene) {
        scene_->panneau_ = nullptr;
        scene_->Active = 0;
    }
    scene_ = scene;
    update();
}

void PanneauOpenGL::Detache(TsceneGL* scene)
{
    if (scene_ != scene)
        return;
    scene_ = nullptr;
    update();
}

void PanneauOpenGL::initializeGL() {}

void PanneauOpenGL::resizeGL(int, int)
{
    const int l = LargeurPixels(), h = HauteurPixels();
    if (scene_)
        scene_->SetViewport(l, h);
    emit Redimensionne(l, h);
}

void PanneauOpenGL::paintGL()
{
    if (scene_) {
        scene_->Peint();
        return;
    }
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

}  // namespace karst
