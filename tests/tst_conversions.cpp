#include "numbers/conversions.h"

#include <QTest>
#include <cfloat>
#include <cmath>
#include <limits>

class TestConversions : public QObject {
    Q_OBJECT

private slots:
    void val_data();
    void val();
    void valNeverFailsOnHugeText();
    void exactVal_data();
    void exactVal();
    void strDouble_data();
    void strDouble();
    void strSingle_data();
    void strSingle();
    void strRoundTrips();
    void wholeNumbers();
    void cint_data();
    void cint();
    void intFloors();
};

void TestConversions::val_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    const double max = std::numeric_limits<double>::max();
    QTest::newRow("zero") << "0" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("comma ends the number") << "3,5" << 3.0;
    QTest::newRow("point") << "2.5" << 2.5;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("negative half") << "-0.5" << -0.5;
    QTest::newRow("negative point") << "-.5" << -0.5;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("blanks anywhere") << " 1 2 3 " << 123.0;
    QTest::newRow("tabs and line feeds") << "\t1\n2" << 12.0;
    QTest::newRow("carriage return ends") << "1\r2" << 1.0;
    QTest::newRow("exponent") << "1E+15" << 1e15;
    QTest::newRow("lower-case exponent") << "2.5e-3" << 0.0025;
    QTest::newRow("exponent without digits") << "4e" << 4.0;
    QTest::newRow("exponent sign without digits") << "4e+" << 4.0;
    QTest::newRow("second point ends") << "1.2.3" << 1.2;
    QTest::newRow("lone minus") << "-" << 0.0;
    QTest::newRow("lone point") << "." << 0.0;
    QTest::newRow("trailing letters") << "12abc" << 12.0;
    QTest::newRow("hex") << "&HFF" << 255.0;
    QTest::newRow("hex lower") << "&hff" << 255.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal stops at 8") << "&O178" << 15.0;
    // 2^57 + 17 lies nearer to 2^57 + 32 than to 2^57; rounding digit by digit ends at 2^57.
    QTest::newRow("long hex rounds once") << "&H200000000000011" << 144115188075855904.0;
    QTest::newRow("long octal rounds once") << "&O10000000000000000021" << 144115188075855904.0;
    QTest::newRow("bare ampersand") << "&" << 0.0;
    QTest::newRow("ampersand other") << "&X1" << 0.0;
    QTest::newRow("overflow saturates") << "1e400" << max;
    QTest::newRow("negative overflow saturates") << "-1e400" << -max;
    QTest::newRow("just above max") << "1.8e308" << max;
    QTest::newRow("max itself") << "1.7976931348623157e308" << max;
    QTest::newRow("underflow is zero") << "1e-400" << 0.0;
    QTest::newRow("huge hex saturates")
        << "&HFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
           "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
           "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
           "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
           "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
           "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
        << max;
    QTest::newRow("infinity sign is no number") << QString::fromUtf8("∞") << 0.0;
    QTest::newRow("german decimal comma") << "0,5" << 0.0;
    QTest::newRow("many zeros then digit") << "0.000000000000000000000000000001" << 1e-30;
}

void TestConversions::val() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(Conv::Val(text), expected);
}

void TestConversions::exactVal_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("number");
    QTest::addColumn<double>("expected");
    const double max = std::numeric_limits<double>::max();
    QTest::newRow("whole") << "2" << true << 2.0;
    QTest::newRow("blanks around") << " -7 " << true << -7.0;
    QTest::newRow("leading point") << ".5" << true << 0.5;
    QTest::newRow("trailing point") << "3." << true << 3.0;
    QTest::newRow("exponent") << "-1e20" << true << -1e20;
    QTest::newRow("beyond the range saturates") << "-1e400" << true << -max;
    QTest::newRow("hex") << "&H1F" << true << 31.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("letters") << "abc" << false << 0.0;
    QTest::newRow("comma") << "3,5" << false << 0.0;
    QTest::newRow("blank inside") << "1 2" << false << 0.0;
    QTest::newRow("carriage return before") << "\r94" << false << 0.0;
    QTest::newRow("exponent without digits") << "4e" << false << 0.0;
    QTest::newRow("lone point") << "." << false << 0.0;
    QTest::newRow("sign only") << "-" << false << 0.0;
    QTest::newRow("octal digit 8") << "&O8" << false << 0.0;
    QTest::newRow("bare prefix") << "&H" << false << 0.0;
}

void TestConversions::exactVal() {
    QFETCH(QString, text);
    QFETCH(bool, number);
    QFETCH(double, expected);
    const std::optional<double> value = Conv::exactVal(text);
    QCOMPARE(value.has_value(), number);
    if (number)
        QCOMPARE(*value, expected);
}

void TestConversions::valNeverFailsOnHugeText() {
    const QString digits(100000, QLatin1Char('9'));
    QCOMPARE(Conv::Val(digits), std::numeric_limits<double>::max());
    QCOMPARE(Conv::Val(QStringLiteral("0.") + QString(100000, QLatin1Char('0')) + "1"), 0.0);
    QCOMPARE(Conv::Val(QStringLiteral("1e") + digits), std::numeric_limits<double>::max());
    QCOMPARE(Conv::Val(QStringLiteral("1e-") + digits), 0.0);
    QCOMPARE(Conv::Val(QStringLiteral("0e") + digits), 0.0);
    QCOMPARE(Conv::Val(QString(100000, QLatin1Char('0')) + "7"), 7.0);
}

void TestConversions::strDouble_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << 0.0 << " 0";
    QTest::newRow("negative zero") << -0.0 << " 0";
    QTest::newRow("one") << 1.0 << " 1";
    QTest::newRow("minus one") << -1.0 << "-1";
    QTest::newRow("count") << 126.0 << " 126";
    QTest::newRow("half") << 0.5 << " .5";
    QTest::newRow("minus half") << -0.5 << "-.5";
    QTest::newRow("three and a half") << 3.5 << " 3.5";
    QTest::newRow("tenth") << 0.1 << " .1";
    QTest::newRow("smallest fixed") << 0.0001 << " .0001";
    QTest::newRow("below fixed") << 0.00001 << " 1E-05";
    QTest::newRow("below fixed with digits") << 0.000012345 << " 1.2345E-05";
    QTest::newRow("15 digits") << 999999999999999.0 << " 999999999999999";
    QTest::newRow("1E15") << 1e15 << " 1E+15";
    QTest::newRow("rounds up to 1E15") << 999999999999999.9 << " 1E+15";
    QTest::newRow("negative exponent form") << -2.5e20 << "-2.5E+20";
    QTest::newRow("third") << 1.0 / 3.0 << " .333333333333333";
    QTest::newRow("two thirds rounded") << 2.0 / 3.0 << " .666666666666667";
    QTest::newRow("max") << std::numeric_limits<double>::max() << " 1.79769313486232E+308";
    QTest::newRow("three digit exponent") << 1e100 << " 1E+100";
    QTest::newRow("large fixed") << 123456789012.5 << " 123456789012.5";
}

void TestConversions::strDouble() {
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(Conv::Str(value), expected);
}

void TestConversions::strSingle_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << 0.0f << " 0";
    QTest::newRow("half") << 0.5f << " .5";
    QTest::newRow("seven digits") << 1234567.0f << " 1234567";
    QTest::newRow("1E7") << 1e7f << " 1E+07";
    QTest::newRow("tenth") << 0.1f << " .1";
    QTest::newRow("pi") << 3.14159265f << " 3.141593";
    QTest::newRow("negative") << -57.5f << "-57.5";
}

void TestConversions::strSingle() {
    QFETCH(float, value);
    QFETCH(QString, expected);
    QCOMPARE(Conv::Str(value), expected);
}

// Text written by Str reads back to a number that is written the same way again.
void TestConversions::strRoundTrips() {
    const double samples[] = {0.5,   -0.5,    1e15,    1e-5,    123.456,   -987654321.123,
                              1e300, -1e-300, DBL_MAX, DBL_MIN, 2.0 / 3.0, 0.0001};
    for (const double v : samples) {
        const QString text = Conv::Str(v);
        QCOMPARE(Conv::Str(Conv::Val(text)), text);
    }
    // The deviation steps of the +1 button.
    QCOMPARE(Conv::Str(Conv::Val(QStringLiteral("999999999999999")) + 1.0),
             QStringLiteral(" 1E+15"));
    QCOMPARE(Conv::Str(Conv::Val(QStringLiteral("-0.5")) + 1.0), QStringLiteral(" .5"));
    QCOMPARE(Conv::Str(Conv::Val(QStringLiteral("2.5")) + 1.0), QStringLiteral(" 3.5"));
}

void TestConversions::wholeNumbers() {
    QCOMPARE(Conv::Str(0), QStringLiteral(" 0"));
    QCOMPARE(Conv::Str(26), QStringLiteral(" 26"));
    QCOMPARE(Conv::Str(-3), QStringLiteral("-3"));
    QCOMPARE(Conv::Str(32767), QStringLiteral(" 32767"));
    QCOMPARE(Conv::wholeNumberText(25), QStringLiteral("25"));
    QCOMPARE(Conv::wholeNumberText(0), QStringLiteral("0"));
    QCOMPARE(Conv::wholeNumberText(-2), QStringLiteral("-2"));
}

void TestConversions::cint_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("0.5 to even 0") << 0.5 << 0;
    QTest::newRow("1.5 to even 2") << 1.5 << 2;
    QTest::newRow("2.5 to even 2") << 2.5 << 2;
    QTest::newRow("3.5 to even 4") << 3.5 << 4;
    QTest::newRow("139.5 to 140") << 139.5 << 140;
    QTest::newRow("139.4") << 139.4 << 139;
    QTest::newRow("-0.5") << -0.5 << 0;
    QTest::newRow("-1.5") << -1.5 << -2;
    QTest::newRow("saturates high") << 1e9 << 32767;
    QTest::newRow("saturates low") << -1e9 << -32768;
}

void TestConversions::cint() {
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(static_cast<int>(Conv::CInt(value)), expected);
}

void TestConversions::intFloors() {
    QCOMPARE(Conv::Int(3.7), 3.0);
    QCOMPARE(Conv::Int(-0.5), -1.0);
    QCOMPARE(Conv::Int(-0.001f), -1.0f);
    QCOMPARE(Conv::Int(100.999f), 100.0f);
    QCOMPARE(Conv::Int(5.0), 5.0);
}

QTEST_GUILESS_MAIN(TestConversions)
#include "tst_conversions.moc"
