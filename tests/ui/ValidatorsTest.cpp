#include "ui/Validators.h"

#include <gtest/gtest.h>

namespace {

const char* NationalCode = "کد ملي صحيح نمي باشد.";
const char* NationalId = "شناسه ملي صحيح نمي باشد.";
const char* PostalCode = "کد پستي وارد شده صحيح نمي باشد.";

// The message a check throws, empty when it passes.
template <class Fn>
QString messageOf(Fn fn)
{
    try {
        fn();
    } catch (const TValidationError& e) {
        return e.message();
    }
    return QString();
}

struct NationalCase {
    const char* text;
    int kind;
    bool emptyAllowed;
    const char* message;   // nullptr: passes
};

TEST(Validators, NationalCodeAndLegalId)
{
    const NationalCase cases[] = {
        {"0012345679", 1, false, nullptr},      // s = 112, r = 2, check 11 - 2
        {"0012345678", 1, false, NationalCode},
        {"1111111111", 1, false, nullptr},      // r = 10, check 1
        {"0000000000", 1, false, nullptr},      // r = 0, check 0
        {"0000000019", 1, false, nullptr},      // r = 2, check 9
        {"0000000011", 1, false, NationalCode}, // r itself is not the check when r >= 2
        {"0000000027", 1, false, nullptr},      // r = 4, check 7
        {"1234567891", 1, false, nullptr},
        {"1234567892", 1, false, NationalCode},
        {"001234567", 1, false, NationalCode},  // nine characters
        {"00123456790", 1, false, NationalCode},
        {"00123x5679", 1, false, NationalCode}, // a letter: the message, not a conversion error
        {"001234567 ", 1, false, NationalCode},
        {"۰۰۱۲۳۴۵۶۷۹", 1, false, NationalCode}, // Persian digits are not taken as digits
        {"", 1, true, nullptr},
        {"", 2, true, nullptr},
        {"", 1, false, NationalCode},
        {"", 2, false, NationalId},
        {"0012345679", 2, false, NationalId},   // a ten-digit code for a legal entity
        {"0012345679", 3, false, NationalId},
        {"0012345679", 0, false, NationalId},   // any kind but 1 is a legal entity
        {"10100000006", 2, false, nullptr},     // k = 2, s = 512, r = 6
        {"10100000006", 3, false, nullptr},
        {"10100000007", 2, false, NationalId},
        {"10000000010", 2, false, nullptr},     // r = 10 counts as 0
        {"14100012340", 2, false, nullptr},     // r = 0
        {"14100012341", 2, false, NationalId},
        {"1010000000a", 2, false, NationalId},
        {"-0100000006", 2, false, NationalId},
        {"10100000006", 1, false, NationalCode},// an eleven-digit id for a person
    };
    for (const NationalCase& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        SCOPED_TRACE(c.text);
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(messageOf([&] { ValidateNationalCode(text, c.kind, c.emptyAllowed); }),
                  c.message ? QString::fromUtf8(c.message) : QString());
    }
}

TEST(Validators, PostalCodeAddressAndEconomicCode)
{
    const struct {
        const char* text;
        bool emptyAllowed;
        bool ok;
    } postal[] = {
        {"1345678913", false, true},  {"1345678910", false, false}, {"1234567891", false, false},
        {"134567891", false, false},  {"13456789134", false, false}, {"", true, true},
        {"", false, false},           {"13456a8913", false, false}, {"1345 78913", false, false},
        {"۱۳۴۵۶۷۸۹۱۳", false, false}, {"9999999999", false, true},   {"1345678912", true, false},
    };
    for (const auto& c : postal) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(messageOf([&] { ValidatePostalCode(QString::fromUtf8(c.text), c.emptyAllowed); }),
                  c.ok ? QString() : QString::fromUtf8(PostalCode));
    }

    const struct {
        int length;
        bool emptyAllowed;
        bool ok;
    } address[] = {{14, false, false}, {15, false, true}, {40, true, true}, {0, true, true}, {0, false, false}, {14, true, false}};
    for (const auto& c : address) {
        SCOPED_TRACE(c.length);
        EXPECT_EQ(AddressLengthOk(QString(c.length, QChar(0x0622)), c.emptyAllowed), c.ok);
    }

    for (const char* code : {"", "abc", "123456789012"})
        EXPECT_EQ(messageOf([&] { ValidateEconomicCode(QString::fromUtf8(code), false); }), QString());
}

} // namespace
