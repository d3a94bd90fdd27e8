#pragma once
// The about box.

#include <QDialog>

class QLabel;

namespace karst {

class TApropos : public QDialog {
    Q_OBJECT

public:
    explicit TApropos(QWidget* parent = nullptr);

    QLabel* ProductName;
    QLabel* Version;
    QLabel* Comments;
    QLabel* Label1;  // the author's address

protected:
    void showEvent(QShowEvent* e) override;

private:
    void FormShow();
};

}  // namespace karst
