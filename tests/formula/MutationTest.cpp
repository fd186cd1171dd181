// Damaged compiled forms: every prefix and thousands of seeded random mutations go through
// decompile, validate and evaluate. None may crash, hang or read outside the bytes (the
// sanitizer build checks the last), and whatever still reads back must decompile to text that
// compiles to exactly the bytes that were read.
#include <chrono>
#include <random>

#include <gtest/gtest.h>

#include "FormulaTestSupport.h"
#include "RandomFormula.h"

using namespace formula_test;

namespace {

std::vector<Bytes> Corpus() {
    std::vector<Bytes> out;
    for (const char* f : {
             "match #Form == \"Memo\" and modified() > shift(today(), 0, 0, -30)",
             "let who = trim(#From); let t = if #Subject == \"\" then \"-\" else #Subject; "
             "upper(slice(who, 0, 1)) .. \": \" .. t",
             "join(unique(sort(split(lower(replace(#Keywords, \";\", \",\")), \",\"))), \" | \")",
             "[1, 2, 3] * 10 == 20 and not (#Priority in [\"low\", \"none\"])",
             "round(sum(#Prices) * 1.2, 2)",
         }) {
        const CompileResult r = Compile(f);
        EXPECT_EQ(r.status, store::kNoError) << f;
        out.push_back(r.bytes);
    }
    RandomFormula gen(7);
    for (int i = 0; i < 40; ++i)
        out.push_back(Compile(gen.Next()).bytes);
    return out;
}

std::uint32_t DeclaredLength(const Bytes& b) {
    return b[6] | b[7] << 8 | b[8] << 16 | std::uint32_t(b[9]) << 24;
}

// Feeds one damaged form to every reader. The copy is exactly as long as the damage, so an
// overread is a sanitizer fault.
void Exercise(const Bytes& bytes, const FakeNote& note) {
    const Bytes exact(bytes);
    store::Status status = 0;
    const auto text = Decompile(exact, &status);
    EXPECT_EQ(vlt::formula::Validate(exact.data(), exact.size()), status);
    std::vector<std::uint8_t> result;
    bool selected = false;
    const store::Status run =
        vlt::formula::Evaluate(exact.data(), exact.size(), &note, &result, &selected);
    if (!text) {
        EXPECT_EQ(status, store::kFormulaDamaged);
        EXPECT_EQ(run, store::kFormulaDamaged);
        return;
    }
    // Readable: it must be what the compiler writes for the decompiled text.
    const CompileResult again = Compile(*text);
    ASSERT_EQ(again.status, store::kNoError) << *text << ": " << again.error.message;
    ASSERT_GE(exact.size(), 10u);
    EXPECT_EQ(again.bytes, Bytes(exact.begin(), exact.begin() + DeclaredLength(exact))) << *text;
    EXPECT_TRUE(run == store::kNoError ? result.size() >= 2 : result.empty());
}

FakeNote Note() {
    FakeNote note;
    note.Text("Subject", "s").TextList("Tags", {"a", "b"}).Number("Amount", 3);
    note.Raw("Keywords", vlt::formula::kTypeTextList, {9, 0, 1}); // damaged on purpose
    return note;
}

} // namespace

TEST(FormulaMutation, EveryPrefixIsRefused) {
    const FakeNote note = Note();
    for (const Bytes& full : Corpus())
        for (std::size_t n = 0; n < full.size(); ++n) {
            const Bytes prefix(full.begin(), full.begin() + n);
            store::Status status = 0;
            EXPECT_FALSE(Decompile(prefix, &status));
            EXPECT_EQ(status, store::kFormulaDamaged);
            Exercise(prefix, note);
        }
}

TEST(FormulaMutation, SeededRandomDamage) {
    const auto corpus = Corpus();
    const FakeNote note = Note();
    std::mt19937 rng(0xF0F0);
    auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    const auto start = std::chrono::steady_clock::now();
    int readable = 0;
    for (int i = 0; i < 12000; ++i) {
        Bytes b = corpus[pick(corpus.size())];
        const std::size_t edits = 1 + pick(3);
        for (std::size_t e = 0; e < edits && !b.empty(); ++e) {
            switch (pick(6)) {
            case 0: // flip a bit
                b[pick(b.size())] ^= std::uint8_t(1u << pick(8));
                break;
            case 1: // a random byte
                b[pick(b.size())] = std::uint8_t(pick(256));
                break;
            case 2: // truncate
                b.resize(pick(b.size()));
                break;
            case 3: { // insert random bytes
                const std::size_t at = pick(b.size() + 1);
                const std::size_t n = 1 + pick(8);
                for (std::size_t k = 0; k < n; ++k)
                    b.insert(b.begin() + std::ptrdiff_t(at), std::uint8_t(pick(256)));
                break;
            }
            case 4: { // delete a range
                const std::size_t at = pick(b.size());
                b.erase(b.begin() + std::ptrdiff_t(at),
                        b.begin() + std::ptrdiff_t(std::min(b.size(), at + 1 + pick(8))));
                break;
            }
            default: // small values in a body byte: opcodes, counts, slots and ids
                if (b.size() > 10)
                    b[10 + pick(b.size() - 10)] = std::uint8_t(pick(64));
                break;
            }
        }
        // Let some damage past the length check by fixing the declared length.
        if (b.size() >= 10 && pick(2)) {
            const auto n = std::uint32_t(b.size());
            for (int k = 0; k < 4; ++k)
                b[6 + k] = std::uint8_t(n >> (8 * k));
        }
        Exercise(b, note);
        readable += Decompile(b).has_value();
        if (HasFatalFailure())
            return;
    }
    const auto seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GT(readable, 100); // the damage reaches the body readers, not only the header
    EXPECT_LT(seconds, 30.0);
}
