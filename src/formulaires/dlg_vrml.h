#pragma once
// The VRML export dialog "Exportation VRML": colouring, ambient light, smoothing,
// centring, texture and model file; it asks for the file, writes its first lines and lets
// the perspective write the model.

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QSlider;
class QToolButton;
class QPushButton;

namespace karst {

class TPerspective;

class TExport_VRML : public QDialog {
    Q_OBJECT
public:
    // The dialog of the perspective window's view.
    explicit TExport_VRML(TPerspective& perspective, QWidget* parent = nullptr);

    QGroupBox* Couleur;
    QRadioButton* Gris;
    QRadioButton* Deformations;
    QRadioButton* Coloriage;
    QSlider* Ambiance;
    QCheckBox* Lissage;
    QCheckBox* Centre;
    QCheckBox* Texture;
    QLineEdit* Nom_texture;
    QToolButton* Fichier_Texture;
    QLineEdit* Nom_Modele;
    QToolButton* Fichier_modele;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    // The colour mode of the choice: "Gris" 0, "Déformations" 3, "Coloriage" 2.
    uint16_t ModeCouleur() const;

    // Runs the export; the dialog closes only once the file is written.
    void OKBtnClick();
    void TextureClick();
    void Nom_textureChange();
    void Fichier_TextureClick();
    void Fichier_modeleClick();

private:
    TPerspective& perspective_;
};

// The VRML menu command: the export dialog of the perspective window's view, shown
// modally; without a perspective window a message says to open one. True when a file was
// written.
bool CommandeExportVRML(TPerspective* perspective, QWidget* parent = nullptr);

// The address of a texture file relative to the folder of the VRML file; the full path when
// there is no relative form.
std::string AdresseTexture(const std::string& texture, const std::string& fichierVrml);

}  // namespace karst
