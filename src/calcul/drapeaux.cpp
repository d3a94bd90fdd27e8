#include "calcul/drapeaux.h"

#include <chrono>
#include <cstdint>
#include <ctime>

#include "survey/nombres.h"

namespace karst {

std::atomic<bool> CalculEnCours{false};
std::atomic<bool> ArretCalcul{false};

namespace {
using Horloge = std::chrono::steady_clock;
std::atomic<int64_t> debutChrono{Horloge::now().time_since_epoch().count()};

std::string DeuxChiffres(int v)
{
    std::string s = FormatEntier(v);
    return s.size() < 2 ? "0" + s : s;
}
}  // namespace

void DemarreChrono() { debutChrono = Horloge::now().time_since_epoch().count(); }

std::string DureeChrono()
{
    const auto ecart = Horloge::now() - Horloge::time_point(Horloge::duration(debutChrono.load()));
    const long double secondes = std::chrono::duration<long double>(ecart).count();
    return FormatFixe(secondes, 4, 2);
}

std::string DateHeure()
{
    const std::time_t t = std::time(nullptr);
    std::tm l{};
    localtime_r(&t, &l);
    return DeuxChiffres(l.tm_mday) + "/" + DeuxChiffres(l.tm_mon + 1) + "/" + FormatEntier(l.tm_year + 1900) + " " +
           DeuxChiffres(l.tm_hour) + ":" + DeuxChiffres(l.tm_min) + ":" + DeuxChiffres(l.tm_sec);
}

}  // namespace karst
