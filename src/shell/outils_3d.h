#pragma once
// The small tool windows of the view windows: the 3D palette that switches a perspective
// window to its OpenGL model and chooses how the mouse moves the camera, the stop window
// of the repeated rotations, and the two-axis rotation dialog.

#include <QDialog>
#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace karst {

class TForm1;

// Movement kinds of the mouse on the OpenGL panel.
enum class Mouvement3D { Rotation, Translation, Lateral };

class TOutils_3D : public QWidget {
    Q_OBJECT
public:
    explicit TOutils_3D(TForm1& form, QWidget* parent = nullptr);

    QCheckBox* OpenGL;
    QToolButton *Rotation, *Translation, *Lateral, *Horizontal, *Arriere;
    QCheckBox* stereo;
    bool AltEnfonce = false, CtrlEnfonce = false;

    Mouvement3D Mouvement() const;
    void OpenGLClick();
    void stereoClick();
    void HorizontalClick();
    void ArriereClick();
    // Alt puts the sideways movement down, Ctrl the rotation; releasing them goes back to
    // the forward movement.
    void FormKeyDown(Qt::KeyboardModifiers etat);
    void FormKeyUp(Qt::KeyboardModifiers etat);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    TForm1& form_;
};

// "Rotation" with its one button "Arrêter": while it is shown, a repeated rotation runs.
class TArret : public QWidget {
    Q_OBJECT
public:
    explicit TArret(TForm1& form, QWidget* parent = nullptr);
    QPushButton* Button1;

protected:
    // Escape stops as "Arrêter" does.
    void keyPressEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    TForm1& form_;
};

// The steps and bounds of the two-axis rotation.
class TLaRotation : public QDialog {
    Q_OBJECT
public:
    explicit TLaRotation(QWidget* parent = nullptr);
    QLineEdit *PasH, *PasV, *MinV, *MaxV;
    QPushButton *Demarrer, *Annuler;
};

// The palette and the stop window of the run, made with the main window as owner on first
// use.
TOutils_3D& Outils3D(TForm1& form);
TArret& Arret(TForm1& form);

// The camera of the 3D mode and its steps, kept apart from the widgets so that they can
// be checked on their own. Angles in degrees; the camera in metres about the model centre
// (x east, y up, z towards the south).
namespace camera3d {
// The azimuth brought back within 0..360 by one turn.
double Ramene(double azimut);
// One walk step: dx, dy the mouse offsets, k the speed factor.
void PasTranslation(double& azimut, double& x, double& z, int dx, int dy, int k);
void PasLateral(double azimut, double& x, double& y, double& z, int dx, int dy, int k);
// Back along the line of sight to distance d from the centre.
void Recule(double azimut, double elevation, double d, double& x, double& y, double& z);
// One step of the automatic rotation about the vertical axis through the centre.
void Orbite(double pas, double& azimut, double& x, double& z);
}  // namespace camera3d

}  // namespace karst
