#pragma once
// The SVG export options dialog "Exportation SVG": which layers, and whether they are
// marked as Illustrator layers. The main window makes it once; the boxes keep their
// state from one export to the next.

#include <QDialog>

class QCheckBox;

namespace karst {

class TDlg_SVG : public QDialog {
    Q_OBJECT
public:
    explicit TDlg_SVG(QWidget* parent = nullptr);
    QCheckBox* CheckBoxToutes;
    QCheckBox* CheckBoxIllustrator;
    // The export's arguments: every layer unless "Couches visibles seulement" is ticked.
    bool Toutes() const;
    bool Illustrator() const;
};

}  // namespace karst
