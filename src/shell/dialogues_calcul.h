#pragma once
// The dialogs of the computation: the problem report with its "do not show again" box, the
// list of the galleries that no reference point reaches, and the user-interface side of
// the computation's messages.

#include <QDialog>
#include <string>
#include <vector>

#include "calcul/messages.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace karst {

class TComplement_Calcul : public QDialog {
    Q_OBJECT

public:
    explicit TComplement_Calcul(QWidget* parent = nullptr);
    // Shows the message modally ("\r" breaks lines); true when "Ne plus afficher" is
    // ticked afterwards.
    bool Montre(const QString& texte);

    QLabel* Information = nullptr;
    QCheckBox* Ne_Plus = nullptr;
    QPushButton* Fermer = nullptr;
};

class TLacunes : public QDialog {
    Q_OBJECT

public:
    explicit TLacunes(QWidget* parent = nullptr);

    QPushButton* Liste = nullptr;  // "Listes des galeries >>"
    QPlainTextEdit* Memo = nullptr;
    QPushButton* Continuer = nullptr;
    QPushButton* Arreter = nullptr;

    // Shows the list's button and hides the list, at the short height.
    void Active();
    void ListeClick();

protected:
    void showEvent(QShowEvent* e) override;
};

// The computation's messages in message boxes, the unreached galleries in TLacunes, the
// hourglass as the application's override cursor.
class MessagesCalculQt : public IMessagesCalcul {
public:
    explicit MessagesCalculQt(QWidget* parent) : parent_(parent) {}
    ~MessagesCalculQt() override;
    void Message(const std::string& texte, GenreMessage genre) override;
    bool ContinuerSansLacunes(const std::vector<std::string>& galeries) override;
    void Sablier(bool actif) override;

private:
    QWidget* parent_;
    bool sablier_ = false;
};

// "\r" and "\r\n" as the line breaks of a label.
QString SautsDeLigne(QString texte);

}  // namespace karst
