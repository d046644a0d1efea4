// vexo_gmp_yardstick n cst radix [method]: the calculator's own series, step
// for step, with GMP's mpn functions in place of the five kernels. It is the
// yardstick that whole runs of vexo_x86_64 are timed against.
//
// Everything that decides the work is the calculator's: the word count W, the
// fixed-point records of W words (integer word on top), the loops, the order
// of the terms, the stopping rules (stop when the in-place division of the
// power or term leaves zero, tested after each term), the multipliers, the
// combinations and the final scaling. Each record keeps a used length, the
// counterpart of indiceMax + 1, which every step works on and shrinks as the
// top word becomes zero, so that GMP does the same amount of work as the
// kernels: mpn_divrem_1 with no fraction limbs on the used words, mpn_add_n /
// mpn_sub_n over the term's used words and mpn_add_1 / mpn_sub_1 for the
// carry, mpn_mul_1 over the used words.
//
// Standard output carries only the digits, printed by the library's own
// printer, so it must match the end of the program's output byte for byte.
// Standard error carries "key value" lines: series_seconds (the interval the
// program reports as its total duration, on the monotonic clock),
// print_seconds (the printer alone, flush included), and for e and the roots
// iterations (the number the program prints).
#include <gmp.h>
#include <time.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "lfx86_64.h"

namespace {

struct Nombre {
    mp_limb_t *mots;    // W words, least significant first, calloc'd
    mp_size_t taille;   // W
    mp_size_t utilises; // words in use: 0 for zero, else mots[utilises - 1] != 0
};

bool creer(Nombre *r, mp_size_t taille)
{
    r->mots = static_cast<mp_limb_t *>(std::calloc(static_cast<size_t>(taille), sizeof(mp_limb_t)));
    r->taille = taille;
    r->utilises = 0;
    return r->mots != nullptr;
}

void detruire(Nombre *r)
{
    std::free(r->mots);
    r->mots = nullptr;
}

// The fixed-point value v: integer word v, fraction zero.
void fixer_entier(Nombre *r, mp_limb_t v)
{
    std::memset(r->mots, 0, static_cast<size_t>(r->taille) * sizeof(mp_limb_t));
    r->mots[r->taille - 1] = v;
    r->utilises = v != 0 ? r->taille : 0;
}

// All W words and the used length, as the library's record copy does.
void copier(Nombre *dst, const Nombre *src)
{
    std::memcpy(dst->mots, src->mots, static_cast<size_t>(src->taille) * sizeof(mp_limb_t));
    dst->utilises = src->utilises;
}

// r /= d in place. Only the top quotient word can be zero (the remainder it
// leaves is the old top word, so the next quotient word is at least 2^64/d),
// so the used length drops by one at most.
void diviser_sur_place(Nombre *r, mp_limb_t d)
{
    if (r->utilises == 0) {
        return;
    }
    mpn_divrem_1(r->mots, 0, r->mots, r->utilises, d);
    if (r->mots[r->utilises - 1] == 0) {
        --r->utilises;
    }
}

// q = a / d, a unchanged; q's words above its used length keep stale values.
void diviser_dans(Nombre *q, const Nombre *a, mp_limb_t d)
{
    q->utilises = a->utilises;
    if (a->utilises == 0) {
        return;
    }
    mpn_divrem_1(q->mots, 0, a->mots, a->utilises, d);
    if (q->mots[q->utilises - 1] == 0) {
        --q->utilises;
    }
}

// a += b, with b no longer than a in every series here. The carry runs on
// through a's used words (stopping where it is absorbed) and, past them,
// becomes a new top word while there is room.
void ajouter(Nombre *a, const Nombre *b)
{
    const mp_size_t nb = b->utilises;
    if (nb == 0) {
        return;
    }
    mp_limb_t retenue = mpn_add_n(a->mots, a->mots, b->mots, nb);
    if (retenue != 0 && a->utilises > nb) {
        retenue = mpn_add_1(a->mots + nb, a->mots + nb, a->utilises - nb, 1);
    }
    if (retenue != 0 && a->utilises < a->taille) {
        a->mots[a->utilises++] = 1;
    }
}

// a -= b with a >= b; the used length is found again from the top down.
void soustraire(Nombre *a, const Nombre *b)
{
    const mp_size_t nb = b->utilises;
    if (nb == 0) {
        return;
    }
    const mp_limb_t emprunt = mpn_sub_n(a->mots, a->mots, b->mots, nb);
    if (emprunt != 0 && a->utilises > nb) {
        mpn_sub_1(a->mots + nb, a->mots + nb, a->utilises - nb, 1);
    }
    while (a->utilises > 0 && a->mots[a->utilises - 1] == 0) {
        --a->utilises;
    }
}

// a *= m; the top word of the product takes the next word while there is room.
void multiplier(Nombre *a, mp_limb_t m)
{
    if (a->utilises == 0) {
        return;
    }
    const mp_limb_t haut = mpn_mul_1(a->mots, a->mots, a->utilises, m);
    if (haut != 0 && a->utilises < a->taille) {
        a->mots[a->utilises++] = haut;
    }
}

double maintenant()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// ---- pi --------------------------------------------------------------------

enum Combinaison { PREMIER, AJOUT, RETRAIT };

struct Terme {
    mp_limb_t x; // arctan(1/x)
    mp_limb_t multiplicateur;
    Combinaison combinaison;
};

constexpr Terme NEWTON[] = {{2, 4, PREMIER}, {3, 4, AJOUT}};
constexpr Terme MACHIN[] = {{5, 16, PREMIER}, {239, 4, RETRAIT}};
constexpr Terme GAUSS[] = {{18, 48, PREMIER}, {57, 32, AJOUT}, {239, 20, RETRAIT}};
constexpr Terme QUATRE[] = {{23, 68, PREMIER}, {182, 32, AJOUT}, {5118, 40, AJOUT}, {6072, 20, AJOUT}};

struct Formule {
    const Terme *termes;
    int nb_termes;
};

constexpr Formule FORMULES[] = {{NEWTON, 2}, {MACHIN, 2}, {GAUSS, 3}, {QUATRE, 4}};

// a (created here) = arctan(1/x) = 1/x - 1/(3x^3) + 1/(5x^5) - ...
bool arctan(Nombre *a, mp_limb_t x, mp_size_t W)
{
    Nombre b, un;
    if (!creer(a, W)) {
        return false;
    }
    if (!creer(&b, W)) {
        detruire(a);
        return false;
    }
    if (!creer(&un, W)) {
        detruire(a);
        detruire(&b);
        return false;
    }
    const mp_limb_t d = x * x;
    fixer_entier(a, 1);
    diviser_sur_place(a, x);
    copier(&un, a);
    diviser_sur_place(&un, d);
    for (mp_limb_t n = 1;; ++n) {
        diviser_dans(&b, &un, 2 * n + 1);
        if ((n & 1) != 0) {
            soustraire(a, &b);
        } else {
            ajouter(a, &b);
        }
        diviser_sur_place(&un, d);
        if (un.utilises == 0) {
            break;
        }
    }
    detruire(&un);
    detruire(&b);
    return true;
}

void combiner(Nombre *p, Nombre *terme, const Terme *t)
{
    multiplier(terme, t->multiplicateur);
    if (t->combinaison == AJOUT) {
        ajouter(p, terme);
    } else {
        soustraire(p, terme);
    }
}

// p (created here) = pi; *secondes gets the span the program reports as its
// total: from before the first series to the end of the last one.
bool calculer_pi(Nombre *p, const Formule *f, mp_size_t W, double *secondes)
{
    const double debut = maintenant();
    if (!arctan(p, f->termes[0].x, W)) {
        return false;
    }
    multiplier(p, f->termes[0].multiplicateur);
    double fin = maintenant();
    for (int i = 1; i < f->nb_termes; ++i) {
        Nombre terme;
        if (!arctan(&terme, f->termes[i].x, W)) {
            detruire(p);
            return false;
        }
        fin = maintenant();
        combiner(p, &terme, &f->termes[i]);
        detruire(&terme);
    }
    *secondes = fin - debut;
    return true;
}

// ---- e and the roots of two --------------------------------------------------

// e = 2 + sum of 1/k! for k >= 2; *k ends as the divisor that gave zero.
bool calculer_e(Nombre *e, mp_size_t W, int64_t *k, double *secondes)
{
    Nombre un;
    if (!creer(e, W)) {
        return false;
    }
    if (!creer(&un, W)) {
        detruire(e);
        return false;
    }
    fixer_entier(e, 2);
    *k = 2;
    fixer_entier(&un, 1);
    const double debut = maintenant();
    for (;;) {
        diviser_sur_place(&un, static_cast<mp_limb_t>(*k));
        if (un.utilises == 0) {
            break;
        }
        ++*k;
        ajouter(e, &un);
    }
    *secondes = maintenant() - debut;
    detruire(&un);
    return true;
}

// numerateur/19601 times the sum of t_0 = 1, t_j = t_{j-1} x (2j-1)/(2j),
// x = 1/384199201; *k counts the terms added after the first.
bool calculer_racine(Nombre *r, mp_size_t W, mp_limb_t numerateur, int64_t *k, double *secondes)
{
    Nombre un, aux;
    if (!creer(r, W)) {
        return false;
    }
    if (!creer(&un, W)) {
        detruire(r);
        return false;
    }
    if (!creer(&aux, W)) {
        detruire(r);
        detruire(&un);
        return false;
    }
    fixer_entier(r, 1);
    *k = 0;
    fixer_entier(&un, 1);
    mp_limb_t diviseur = 2;
    const double debut = maintenant();
    for (;;) {
        diviser_sur_place(&un, 384199201);
        if (un.utilises == 0) {
            break;
        }
        diviser_dans(&aux, &un, diviseur);
        ++*k;
        soustraire(&un, &aux);
        diviseur += 2;
        ajouter(r, &un);
    }
    *secondes = maintenant() - debut;
    multiplier(r, numerateur);
    diviser_sur_place(r, 19601);
    detruire(&un);
    detruire(&aux);
    return true;
}

// ---- command line and output -------------------------------------------------

enum Constante { PI, E, SQRT2, INV_SQRT2, INCONNUE };

Constante lire_constante(const char *mot)
{
    if (std::strcmp(mot, "pi") == 0) {
        return PI;
    }
    if (std::strcmp(mot, "e") == 0) {
        return E;
    }
    if (std::strcmp(mot, "sqrt2") == 0) {
        return SQRT2;
    }
    if (std::strcmp(mot, "1/sqrt2") == 0) {
        return INV_SQRT2;
    }
    return INCONNUE;
}

// The calculator's word counts: pi takes one guard word more in radix 2.
mp_size_t nombre_de_mots(Constante cst, long base, long n)
{
    if (base == 2) {
        return n / 64 + (cst == PI ? 4 : 3);
    }
    return n / 16 + 4;
}

int usage()
{
    std::fputs("usage: vexo_gmp_yardstick n pi|e|sqrt2|1/sqrt2 2|16 [method 1-4, pi only]\n", stderr);
    return 1;
}

// The digits through the library's printer: the words wrapped in an Lii.
void imprimer(const Nombre *r, long base)
{
    Lii vue{r->utilises != 0 ? 1 : 0, r->taille, r->mots, 0, r->utilises - 1};
    const double debut = maintenant();
    if (base == 2) {
        print_cst_base2_bini(&vue);
    } else {
        print_cst_base16_bini(&vue);
    }
    std::fflush(stdout);
    std::fprintf(stderr, "print_seconds %.6f\n", maintenant() - debut);
}

bool calculer(Nombre *r, Constante cst, long methode, mp_size_t W)
{
    double secondes = 0.0;
    int64_t k = 0;
    bool fait = false;
    switch (cst) {
    case PI:
        fait = calculer_pi(r, &FORMULES[methode - 1], W, &secondes);
        break;
    case E:
        fait = calculer_e(r, W, &k, &secondes);
        break;
    case SQRT2:
        fait = calculer_racine(r, W, 27720, &k, &secondes);
        break;
    default:
        fait = calculer_racine(r, W, 13860, &k, &secondes);
        break;
    }
    if (!fait) {
        std::fputs("vexo_gmp_yardstick: not enough memory\n", stderr);
        return false;
    }
    std::fprintf(stderr, "series_seconds %.6f\n", secondes);
    if (cst != PI) {
        std::fprintf(stderr, "iterations %ld\n", static_cast<long>(k));
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 4) {
        return usage();
    }
    const long n = std::strtol(argv[1], nullptr, 10);
    const Constante cst = lire_constante(argv[2]);
    const long base = std::strtol(argv[3], nullptr, 10);
    const long methode = argc > 4 ? std::strtol(argv[4], nullptr, 10) : 0;
    if (n < 13 || cst == INCONNUE || (base != 2 && base != 16) ||
        (cst == PI && (methode < 1 || methode > 4))) {
        return usage();
    }
    Nombre r;
    if (!calculer(&r, cst, methode, nombre_de_mots(cst, base, n))) {
        return 2;
    }
    imprimer(&r, base);
    detruire(&r);
    return 0;
}
