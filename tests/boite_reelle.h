#pragma once
// Answers the next message box the program shows on the screen, as a user would: once the
// box is up, a key is typed into the widget that has the focus in it.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest/QTest>
#include <memory>

namespace ecran {

// What the box showed when the key was typed.
struct BoiteVue {
    bool vue = false;
    QString texte;
    QStringList boutons;
    QMessageBox::Icon icone = QMessageBox::NoIcon;
};

inline std::shared_ptr<BoiteVue> RepondBoite(Qt::Key touche, Qt::KeyboardModifiers modificateurs = Qt::NoModifier)
{
    auto vue = std::make_shared<BoiteVue>();
    auto* minuterie = new QTimer;
    minuterie->setInterval(5);
    auto essais = std::make_shared<int>(0);
    QObject::connect(minuterie, &QTimer::timeout, [=] {
        auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        // A box that never comes must not leave the timer running for the next test.
        if ((!boite || !boite->isVisible()) && ++*essais < 1000)
            return;
        minuterie->stop();
        minuterie->deleteLater();
        if (!boite)
            return;
        vue->vue = true;
        vue->texte = boite->text();
        vue->icone = boite->icon();
        for (QAbstractButton* b : boite->buttons())
            vue->boutons << b->text();
        QWidget* cible = QApplication::focusWidget();
        if (!cible || cible->window() != boite)
            cible = boite;
        QTest::keyClick(cible, touche, modificateurs);
    });
    minuterie->start();
    return vue;
}

}  // namespace ecran
