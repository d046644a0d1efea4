// Fuzz target for the five arithmetic kernels. The first byte picks the
// kernel; the rest builds its records (sizes, signe, indiceMax, words above
// indiceMax left stale) and its divisor or factor. Every call is checked
// against GMP and against the record rules:
//   - the words in use hold the exact result (mpn_add_n, mpn_sub_n,
//     mpn_mul_1, mpn_divrem_1), and the returned word is the lost carry,
//     borrow, top word of the product or remainder;
//   - indiceMax and signe are as the kernels document them, also on the
//     paths the calculators never take (B longer than A, B > A, divisors of
//     0 and of 2^32 or more);
//   - no word outside the results' reach changes: words above indiceMax
//     stay, the read-only record stays whole, aux and taille_mantisse stay;
//   - nothing outside the arrays is touched: each array sits against a
//     page that cannot be read or written (on one side or the other, as the
//     input chooses) and has guard words on its other side.
#include <sys/mman.h>
#include <unistd.h>

#include <gmp.h>

#include <cstring>

#include "fuzz_support.h"
#include "lfx86_64.h"

namespace {

constexpr int64_t kMotsMax = 1024; // largest array of a record
constexpr int64_t kGardes = 4;     // guard words on the side away from the protected page
constexpr uint64_t kMotitifGarde = 0xA5C3F00DDEADBEEFULL;
constexpr uint64_t kPasDeReste = ~uint64_t{0}; // what the division kernels return for d == 0

// ---- where the arrays live --------------------------------------------------

// One place for an array: data pages between two pages that cannot be touched.
struct Emplacement {
    uint64_t *debut; // first word of the data pages
    uint64_t *fin;   // one past their last word
};

struct Arene {
    Emplacement places[2];
};

Emplacement creer_emplacement()
{
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const size_t donnees = ((kMotsMax + kGardes) * sizeof(uint64_t) + page - 1) / page * page;
    auto *bloc = static_cast<uint8_t *>(
        mmap(nullptr, donnees + 2 * page, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    exiger(bloc != MAP_FAILED, "mmap of the arena");
    exiger(mprotect(bloc + page, donnees, PROT_READ | PROT_WRITE) == 0, "mprotect of the arena");
    return Emplacement{reinterpret_cast<uint64_t *>(bloc + page),
                       reinterpret_cast<uint64_t *>(bloc + page + donnees)};
}

// Built once for the whole run: mapping pages on every input would cost more
// than the kernels themselves.
Arene *arene()
{
    static Arene a{{creer_emplacement(), creer_emplacement()}};
    return &a;
}

// Places an array of t words against the lower protected page (guard words
// after it) or against the upper one (guard words before it).
uint64_t *placer(const Emplacement *e, int64_t t, bool contre_le_haut)
{
    uint64_t *m = contre_le_haut ? e->fin - t : e->debut;
    uint64_t *gardes = contre_le_haut ? m - kGardes : m + t;
    for (int64_t i = 0; i < kGardes; ++i) {
        gardes[i] = kMotitifGarde ^ static_cast<uint64_t>(i);
    }
    return m;
}

bool gardes_intactes(const Lii *r, bool contre_le_haut)
{
    const uint64_t *gardes = contre_le_haut ? r->mantisse - kGardes : r->mantisse + r->taille_mantisse;
    for (int64_t i = 0; i < kGardes; ++i) {
        if (gardes[i] != (kMotitifGarde ^ static_cast<uint64_t>(i))) {
            return false;
        }
    }
    return true;
}

// ---- building records from the input -----------------------------------------

// Words that the kernels' carries, borrows and reciprocals find hardest come
// up often; the rest are raw.
uint64_t mot_choisi(Octets *o)
{
    switch (octet(o) % 10) {
    case 0:
        return 0;
    case 1:
        return ~uint64_t{0};
    case 2:
        return 1;
    case 3:
        return uint64_t{1} << 63;
    case 4:
        return 0xFFFFFFFFULL;
    case 5:
        return uint64_t{1} << 32;
    case 6:
        return octet(o);
    default:
        return mot_brut(o);
    }
}

int64_t taille_choisie(Octets *o, int64_t minimum)
{
    const uint8_t b = octet(o);
    int64_t t = 1 + b % 40;
    if (b >= 240) { // now and then a long array, past every unrolled loop
        t = 1 + (static_cast<int64_t>(octet(o)) << 2 | (b & 3)) % kMotsMax;
    }
    return t < minimum ? minimum : t;
}

int64_t signe_choisi(Octets *o)
{
    switch (octet(o) % 5) {
    case 0:
    case 1:
        return 1;
    case 2:
        return 0;
    case 3:
        return -1;
    default: {
        const int64_t s = static_cast<int64_t>(mot_brut(o));
        return s == 0 ? 7 : s; // any non-zero signe means "not zero"
    }
    }
}

// A record of t words at the given place. A non-zero record gets a non-zero
// word at its indiceMax; a zero one has indiceMax -1 or, as after a
// multiplication by 0, some index left over. Every word above indiceMax is
// stale: whatever the input gives.
Lii fabriquer(Octets *o, const Emplacement *e, int64_t t, bool contre_le_haut)
{
    Lii r;
    r.taille_mantisse = t;
    r.mantisse = placer(e, t, contre_le_haut);
    r.aux = static_cast<int64_t>(mot_brut(o));
    r.signe = signe_choisi(o);
    for (int64_t i = 0; i < t; ++i) {
        r.mantisse[i] = mot_choisi(o);
    }
    const uint8_t b = octet(o);
    if (r.signe != 0) {
        r.indiceMax = b % t;
        if (r.mantisse[r.indiceMax] == 0) {
            r.mantisse[r.indiceMax] = 1 + octet(o);
        }
    } else {
        r.indiceMax = (b & 1) != 0 ? static_cast<int64_t>(b >> 1) % t : -1;
    }
    return r;
}

uint64_t diviseur_choisi(Octets *o)
{
    const uint8_t b = octet(o);
    switch (b % 12) {
    case 0:
        return (b & 0x10) != 0 ? 0 : 1;
    case 1:
        return uint64_t{1} << (octet(o) % 64); // powers of two, also 2^32 and above
    case 2:
        return 0xFFFFFFFFULL - (b >> 4); // just below 2^32
    case 3:
        return 0x100000000ULL + (b >> 4); // 2^32 and just above
    case 4:
        return ~uint64_t{0} - (b >> 4); // the largest words
    case 5: {
        // Divisors of the series: x, x^2, odd numbers, the root constants.
        constexpr uint64_t serie[] = {2,    3,     4,     5,         23,       25,       57,    239,
                                      3249, 57121, 19601, 384199201, 36869184, 26193924, 33124, 529};
        return serie[(b >> 4) % (sizeof serie / sizeof serie[0])];
    }
    case 6:
    case 7:
        return 2 + octet(o) % 254;
    case 8:
    case 9: {
        const uint64_t d = mot_brut(o) & 0xFFFFFFFFULL; // a half-word divisor
        return d < 2 ? 2 : d;
    }
    default:
        return mot_brut(o);
    }
}

// ---- the reference values -------------------------------------------------------

// Index of the top non-zero limb of v[0..n-1], -1 when all are zero.
int64_t sommet(const mp_limb_t *v, int64_t n)
{
    for (int64_t i = n - 1; i >= 0; --i) {
        if (v[i] != 0) {
            return i;
        }
    }
    return -1;
}

// A record as it was before the call: its fields and all its words.
struct Avant {
    Lii champs;
    uint64_t mots[kMotsMax];
};

void photographier(const Lii *r, Avant *a)
{
    a->champs = *r;
    std::memcpy(a->mots, r->mantisse, static_cast<size_t>(r->taille_mantisse) * sizeof(uint64_t));
}

// The magnitude of a record as it was before the call (nothing for signe
// 0), zero-padded to n limbs.
void valeur(const Avant *r, mp_limb_t *v, int64_t n)
{
    std::memset(v, 0, static_cast<size_t>(n) * sizeof(mp_limb_t));
    if (r->champs.signe != 0) {
        for (int64_t i = 0; i <= r->champs.indiceMax && i < n; ++i) {
            v[i] = r->mots[i];
        }
    }
}

bool inchange(const Lii *r, const Avant *a)
{
    return r->signe == a->champs.signe && r->taille_mantisse == a->champs.taille_mantisse &&
           r->mantisse == a->champs.mantisse && r->aux == a->champs.aux &&
           r->indiceMax == a->champs.indiceMax &&
           std::memcmp(a->mots, r->mantisse, static_cast<size_t>(r->taille_mantisse) * sizeof(uint64_t)) == 0;
}

// Words from..t-1 of r as they were before.
bool haut_inchange(const Lii *r, const Avant *a, int64_t from)
{
    for (int64_t i = from < 0 ? 0 : from; i < r->taille_mantisse; ++i) {
        if (r->mantisse[i] != a->mots[i]) {
            return false;
        }
    }
    return true;
}

bool mots_egaux(const Lii *r, const mp_limb_t *v, int64_t n)
{
    for (int64_t i = 0; i < n; ++i) {
        if (r->mantisse[i] != v[i]) {
            return false;
        }
    }
    return true;
}

// The fields that no kernel may change.
void exiger_cadre(const Lii *r, const Avant *a)
{
    exiger(r->taille_mantisse == a->champs.taille_mantisse, "taille_mantisse changed");
    exiger(r->mantisse == a->champs.mantisse, "mantisse pointer changed");
}

// signe and indiceMax once the words 0..n-1 are known: a rescan from the top.
void exiger_rescan(const Lii *r, const Avant *a, const mp_limb_t *v, int64_t n)
{
    const int64_t haut = sommet(v, n);
    exiger(r->indiceMax == haut, "indiceMax is not the top non-zero word");
    if (haut < 0) {
        exiger(r->signe == 0, "zero result keeps a signe");
    } else {
        exiger(r->signe == (a->champs.signe != 0 ? a->champs.signe : 1), "signe of a non-zero result");
    }
}

// ---- one check per kernel -------------------------------------------------------

// Scratch limbs: two operands and a result, each with room for a carry limb.
struct Brouillon {
    mp_limb_t a[kMotsMax + 2];
    mp_limb_t b[kMotsMax + 2];
    mp_limb_t r[kMotsMax + 2];
};

void verifier_add(Lii *A, Lii *B, Brouillon *s)
{
    Avant a0;
    Avant b0;
    photographier(A, &a0);
    photographier(B, &b0);
    const uint64_t ret = add_R_2P_x86_64_bini_spe(A, B);
    exiger(inchange(B, &b0), "add changed B");
    exiger_cadre(A, &a0);
    exiger(A->aux == a0.champs.aux, "add changed aux");
    if (b0.champs.signe == 0) {
        exiger(inchange(A, &a0) && ret == 0, "adding a zero B changed A");
        return;
    }
    const int64_t t = A->taille_mantisse;
    const int64_t n = (t > b0.champs.indiceMax + 1 ? t : b0.champs.indiceMax + 1) + 1;
    valeur(&a0, s->a, n);
    valeur(&b0, s->b, n);
    mpn_add_n(s->r, s->a, s->b, n);
    const bool perdu = sommet(s->r, n) >= t;
    exiger(ret == (perdu ? 1U : 0U), "add result is not the lost carry");
    const bool chemin_commun = a0.champs.signe != 0 && b0.champs.indiceMax <= a0.champs.indiceMax;
    if (!perdu) {
        // The words up to the sum's top word, and none above it, are written.
        const int64_t haut = sommet(s->r, n);
        exiger(mots_egaux(A, s->r, haut + 1), "add words differ from GMP");
        exiger(A->indiceMax == haut, "add indiceMax");
        exiger(haut_inchange(A, &a0, haut + 1), "add changed a word above the sum");
        exiger(A->signe == (a0.champs.signe != 0 ? a0.champs.signe : 1), "add signe");
        return;
    }
    // Something was lost, so every word of A belongs to the truncated sum.
    exiger(mots_egaux(A, s->r, t), "add words differ from GMP");
    if (chemin_commun) {
        exiger(A->indiceMax == a0.champs.indiceMax && A->signe == a0.champs.signe,
               "add overflow changed indiceMax or signe");
    } else {
        exiger_rescan(A, &a0, s->r, t);
    }
}

void verifier_sub(Lii *A, Lii *B, Brouillon *s)
{
    Avant a0;
    Avant b0;
    photographier(A, &a0);
    photographier(B, &b0);
    const uint64_t ret = sub_R_2P_x86_64_bini_spe(A, B);
    exiger(inchange(B, &b0), "sub changed B");
    exiger_cadre(A, &a0);
    exiger(A->aux == a0.champs.aux, "sub changed aux");
    if (b0.champs.signe == 0) {
        exiger(inchange(A, &a0) && ret == 0, "subtracting a zero B changed A");
        return;
    }
    const int64_t t = A->taille_mantisse;
    const bool chemin_commun = a0.champs.signe != 0 && b0.champs.indiceMax <= a0.champs.indiceMax;
    // The words worked: up to A's top word, or up to B's (within A) when
    // B reaches higher.
    const int64_t haut =
        chemin_commun ? a0.champs.indiceMax : (b0.champs.indiceMax < t - 1 ? b0.champs.indiceMax : t - 1);
    const int64_t n = haut + 1;
    valeur(&a0, s->a, n);
    valeur(&b0, s->b, n);
    const mp_limb_t emprunt = mpn_sub_n(s->r, s->a, s->b, n);
    exiger(ret == (chemin_commun ? emprunt : 1U), "sub result is not the borrow");
    exiger(mots_egaux(A, s->r, n), "sub words differ from GMP");
    exiger(haut_inchange(A, &a0, n), "sub changed a word above the worked ones");
    exiger_rescan(A, &a0, s->r, n);
}

void verifier_mul(Lii *A, uint64_t f, Brouillon *s)
{
    Avant a0;
    photographier(A, &a0);
    const uint64_t ret = mulB_R_x86_64_bini(A, f);
    exiger_cadre(A, &a0);
    exiger(A->aux == a0.champs.aux, "mul changed aux");
    if (a0.champs.signe == 0) {
        exiger(inchange(A, &a0) && ret == 0, "multiplying a zero changed it");
        return;
    }
    if (f == 0) {
        exiger(A->signe == 0 && ret == 0, "multiplying by 0 did not make a zero");
        A->signe = a0.champs.signe;
        exiger(inchange(A, &a0), "multiplying by 0 changed more than signe");
        return;
    }
    const int64_t t = A->taille_mantisse;
    const int64_t k = a0.champs.indiceMax;
    valeur(&a0, s->a, k + 1);
    const mp_limb_t haut_produit = mpn_mul_1(s->r, s->a, k + 1, f);
    exiger(A->signe == a0.champs.signe, "mul changed signe");
    exiger(mots_egaux(A, s->r, k + 1), "mul words differ from GMP");
    if (haut_produit == 0) {
        exiger(ret == 0 && A->indiceMax == k, "mul indiceMax without growth");
        exiger(haut_inchange(A, &a0, k + 1), "mul changed a word above the product");
    } else if (k < t - 1) {
        exiger(ret == 0 && A->indiceMax == k + 1 && A->mantisse[k + 1] == haut_produit,
               "mul growth by one word");
        exiger(haut_inchange(A, &a0, k + 2), "mul changed a word above the product");
    } else {
        exiger(ret == haut_produit && A->indiceMax == k, "mul overflow result");
    }
}

void verifier_div_r(Lii *A, uint64_t d, Brouillon *s)
{
    Avant a0;
    photographier(A, &a0);
    const uint64_t ret = divHalfB_R_x86_64_bini(A, d);
    if (d == 0) {
        exiger(inchange(A, &a0) && ret == kPasDeReste, "divide by 0 in place");
        return;
    }
    if (a0.champs.signe == 0 || d == 1) {
        exiger(inchange(A, &a0) && ret == 0, "divide of a zero or by 1 in place changed A");
        return;
    }
    exiger_cadre(A, &a0);
    exiger(A->aux == a0.champs.aux, "divide in place changed aux");
    const int64_t k = a0.champs.indiceMax;
    valeur(&a0, s->a, k + 1);
    const mp_limb_t reste = mpn_divrem_1(s->r, 0, s->a, k + 1, d);
    exiger(ret == reste, "divide in place: remainder differs from GMP");
    exiger(mots_egaux(A, s->r, k + 1), "divide in place: words differ from GMP");
    exiger(haut_inchange(A, &a0, k + 1), "divide in place changed a word above indiceMax");
    exiger_rescan(A, &a0, s->r, k + 1);
    exiger(A->indiceMax >= k - 1, "divide in place lowered indiceMax by more than one");
}

void verifier_div(Lii *Q, Lii *A, uint64_t d, Brouillon *s)
{
    Avant q0;
    Avant a0;
    photographier(Q, &q0);
    photographier(A, &a0);
    const uint64_t ret = divHalfB_x86_64_bini(Q, A, d);
    exiger(inchange(A, &a0), "divide into Q changed A");
    exiger_cadre(Q, &q0);
    if (d == 0) {
        exiger(inchange(Q, &q0) && ret == kPasDeReste, "divide by 0 into Q");
        return;
    }
    if (a0.champs.signe == 0) {
        exiger(ret == 0 && Q->signe == 0 && Q->indiceMax == -1, "divide of a zero into Q");
        exiger(Q->aux == q0.champs.aux && haut_inchange(Q, &q0, 0),
               "divide of a zero touched Q's words or aux");
        return;
    }
    const int64_t k = a0.champs.indiceMax;
    exiger(haut_inchange(Q, &q0, k + 1), "divide into Q changed a word above A's indiceMax");
    if (d == 1) {
        exiger(ret == 0 && Q->signe == A->signe && Q->aux == A->aux && Q->indiceMax == k,
               "divide by 1 into Q");
        exiger(std::memcmp(Q->mantisse, A->mantisse, static_cast<size_t>(k + 1) * sizeof(uint64_t)) == 0,
               "divide by 1 into Q: words differ");
        return;
    }
    valeur(&a0, s->a, k + 1);
    const mp_limb_t reste = mpn_divrem_1(s->r, 0, s->a, k + 1, d);
    exiger(ret == reste, "divide into Q: remainder differs from GMP");
    exiger(mots_egaux(Q, s->r, k + 1), "divide into Q: words differ from GMP");
    const int64_t haut = sommet(s->r, k + 1);
    exiger(Q->indiceMax == haut, "divide into Q: indiceMax");
    exiger(haut >= k - 1, "divide into Q: quotient lost more than one word");
    if (haut < 0) {
        exiger(Q->signe == 0 && Q->aux == q0.champs.aux, "divide into Q: zero quotient");
    } else {
        exiger(Q->signe == A->signe && Q->aux == A->aux, "divide into Q: signe or aux not copied");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0) {
        return 0;
    }
    Octets o = octets_de(data, size);
    const uint8_t choix = octet(&o);
    const bool haut_a = (choix & 0x10) != 0; // which side of each array is against the protected page
    const bool haut_b = (choix & 0x20) != 0;
    Arene *ar = arene();
    static Brouillon brouillon; // 24 KB: too much for every call's stack frame
    Brouillon *s = &brouillon;

    switch (choix % 5) {
    case 0:
    case 1: {
        Lii A = fabriquer(&o, &ar->places[0], taille_choisie(&o, 1), haut_a);
        Lii B = fabriquer(&o, &ar->places[1], taille_choisie(&o, 1), haut_b);
        // A zero A always reads as zero: give it the usual indiceMax -1 or
        // leave the one the input chose, both are zeros.
        if (choix % 5 == 0) {
            verifier_add(&A, &B, s);
        } else {
            verifier_sub(&A, &B, s);
        }
        exiger(gardes_intactes(&A, haut_a) && gardes_intactes(&B, haut_b), "guard words changed");
        break;
    }
    case 2: {
        Lii A = fabriquer(&o, &ar->places[0], taille_choisie(&o, 1), haut_a);
        const uint64_t f = (octet(&o) & 1) != 0 ? mot_choisi(&o) : diviseur_choisi(&o);
        verifier_mul(&A, f, s);
        exiger(gardes_intactes(&A, haut_a), "guard words changed");
        break;
    }
    case 3: {
        Lii A = fabriquer(&o, &ar->places[0], taille_choisie(&o, 1), haut_a);
        verifier_div_r(&A, diviseur_choisi(&o), s);
        exiger(gardes_intactes(&A, haut_a), "guard words changed");
        break;
    }
    default: {
        Lii A = fabriquer(&o, &ar->places[0], taille_choisie(&o, 1), haut_a);
        // Q needs room for A's words in use; often exactly that, so that a
        // write past them meets the protected page.
        const int64_t besoin = A.signe != 0 ? A.indiceMax + 1 : 1;
        const uint8_t b = octet(&o);
        int64_t tq = (b & 1) != 0 ? besoin : taille_choisie(&o, besoin);
        tq = tq > kMotsMax ? kMotsMax : tq;
        Lii Q = fabriquer(&o, &ar->places[1], tq, haut_b);
        verifier_div(&Q, &A, diviseur_choisi(&o), s);
        exiger(gardes_intactes(&A, haut_a) && gardes_intactes(&Q, haut_b), "guard words changed");
        break;
    }
    }
    return 0;
}
