#pragma once
// The panel that carries the OpenGL context of a 3D view: it paints the scene attached
// to it, in RGBA with a depth buffer and double buffering.

#include <QOpenGLWidget>

namespace karst {

class TsceneGL;

class PanneauOpenGL : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit PanneauOpenGL(QWidget* parent = nullptr);
    ~PanneauOpenGL() override;

    // The scene painted, or null (the panel then shows black).
    TsceneGL* Scene() const { return scene_; }
    // Width and height of the drawing area in device pixels.
    int LargeurPixels() const;
    int HauteurPixels() const;

signals:
    // The drawing area changed size; the scene's viewport has already followed. The view
    // window places its camera again.
    void Redimensionne(int largeur, int hauteur);

protected:
    void initializeGL() override;
    void resizeGL(int largeur, int hauteur) override;
    void paintGL() override;

private:
    friend class TsceneGL;
    void Attache(TsceneGL* scene);
    void Detache(TsceneGL* scene);
    TsceneGL* scene_ = nullptr;
};

}  // namespace karst
