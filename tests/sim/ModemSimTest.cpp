#include <gtest/gtest.h>

#include "SimBench.h"

namespace quillon::sim::test {

using quillon::testing::SimBench;
using quillon::testing::Text;

namespace {

using State = ModemSim::State;

SimOptions WithModem() {
    SimOptions o;
    o.modem = true;
    return o;
}

TEST(ModemSim, CommandsAnswerOkOrError) {
    SimBench b(WithModem());
    EXPECT_EQ(b.Talk("AT\r"), "AT\r\r\nOK\r\n");
    // The answer comes at the carriage return; the line feed is echoed after it.
    EXPECT_EQ(b.Talk("at&f1q0v1x4&k3&c0\r\n"), "at&f1q0v1x4&k3&c0\r\r\nOK\r\n\n");
    EXPECT_EQ(b.Talk("ATJ\r"), "ATJ\r\r\nERROR\r\n");
    EXPECT_EQ(b.Talk("ATS7=60S7?\r"), "ATS7=60S7?\r\r\n060\r\nOK\r\n");
    EXPECT_EQ(b.Talk("ATO\r"), "ATO\r\r\nNO CARRIER\r\n");  // not connected
    EXPECT_EQ(b.Talk("hello\r"), "hello\r");                // no AT, no answer
    // Noise before the AT is skipped, as after an interrupted dial.
    EXPECT_EQ(b.Talk("thatz\r"), "thatz\r\r\nOK\r\n");
    EXPECT_EQ(b.Talk("ATV0\r"), "ATV0\r0\r");
    EXPECT_EQ(b.Talk("ATE0V1\r"), "ATE0V1\r\r\nOK\r\n");  // echo off from the next byte on
    EXPECT_EQ(b.Talk("AT\r"), "\r\nOK\r\n");
    const std::string tooLong = "AT" + std::string(100, 'Z');
    EXPECT_EQ(b.Talk(tooLong + "\r"), "\r\nERROR\r\n");
    EXPECT_EQ(b.rig->Modem()->CurrentState(), State::Command);
}

TEST(ModemSim, EachKindOfCommandIsCheckedOnItsOwn) {
    SimBench b(WithModem());
    b.Talk("ATE0\r");
    // The & commands: only the known letters, with a digit up to 9.
    EXPECT_EQ(b.Talk("AT&\r"), "\r\nERROR\r\n");
    EXPECT_EQ(b.Talk("AT&Z\r"), "\r\nERROR\r\n");
    EXPECT_EQ(b.Talk("AT&K12\r"), "\r\nERROR\r\n");
    EXPECT_EQ(b.Talk("AT &d2 &w\r"), "\r\nOK\r\n");
    // S registers: a number in range, then "?" or "=" with a value to 255.
    EXPECT_EQ(b.Talk("ATS\r"), "\r\nERROR\r\n");
    EXPECT_EQ(b.Talk("ATS100=1\r"), "\r\nERROR\r\n");
    EXPECT_EQ(b.Talk("ATS7\r"), "\r\nERROR\r\n");
    EXPECT_EQ(b.Talk("ATS7+1\r"), "\r\nERROR\r\n");
    EXPECT_EQ(b.Talk("ATS7=256\r"), "\r\nERROR\r\n");
    EXPECT_EQ(b.Talk("ATS7=255S7?S2?\r"), "\r\n255\r\n043\r\nOK\r\n");
    // &F restores the defaults (echo too); a failing command ends the line, so what
    // came before it stands and what follows does not run.
    EXPECT_EQ(b.Talk("ATS7=9&FE0\r"), "\r\nOK\r\n");
    EXPECT_EQ(b.Talk("ATS7?\r"), "\r\n000\r\nOK\r\n");
    EXPECT_EQ(b.Talk("ATS7=9JS7=10\r"), "\r\nERROR\r\n");
    EXPECT_EQ(b.Talk("ATS7?\r"), "\r\n009\r\nOK\r\n");
    // Letters with a value: X, L and M take 0 to 4.
    EXPECT_EQ(b.Talk("ATX4L0M1\r"), "\r\nOK\r\n");
    EXPECT_EQ(b.Talk("ATX5\r"), "\r\nERROR\r\n");
    EXPECT_EQ(b.Talk("ATL9\r"), "\r\nERROR\r\n");
    EXPECT_EQ(b.Talk("ATI\r"), "\r\nSimulated 9600 modem\r\nOK\r\n");
    EXPECT_EQ(b.Talk("ATA\r"), "\r\nNO CARRIER\r\n");
    EXPECT_EQ(b.Talk("ATH0\r"), "\r\nOK\r\n");
    // Quiet: no result at all, not even for information.
    EXPECT_EQ(b.Talk("ATQ1I\r"), "");
    EXPECT_EQ(b.Talk("ATJ\r"), "");
    EXPECT_EQ(b.Talk("ATQ0\r"), "\r\nOK\r\n");
    // Z restores the defaults, echo included.
    EXPECT_EQ(b.Talk("ATZ\r"), "\r\nOK\r\n");
    EXPECT_EQ(b.Talk("AT\r"), "AT\r\r\nOK\r\n");
    // Dialling takes the rest of the line as the number; a second dial
    // while connected is refused.
    EXPECT_EQ(b.Talk("ATDT555 1234\r", 2500), "ATDT555 1234\r\r\nCONNECT 9600\r\n");
    b.RunMs(1000);
    b.Talk("+++", 2000);
    EXPECT_EQ(b.rig->Modem()->CurrentState(), State::OnlineCommand);
    EXPECT_EQ(b.Talk("ATD5551234\r"), "ATD5551234\r\r\nERROR\r\n");
    EXPECT_EQ(b.rig->Modem()->CurrentState(), State::OnlineCommand);
}

TEST(ModemSim, TheCardIsUnreachableUntilConnected) {
    SimBench b(WithModem());
    b.Talk("\r");  // the card never sees it
    EXPECT_EQ(b.Card().CurrentMode(), TransceiverSim::Mode::LoginUser);
    EXPECT_EQ(b.Talk("atdt5551234\r\n", 1000), "atdt5551234\r\n");
    EXPECT_EQ(b.rig->Modem()->CurrentState(), State::Dialling);
    b.RunMs(1500);
    EXPECT_EQ(b.Take(), "\r\nCONNECT 9600\r\n");
    EXPECT_TRUE(b.rig->Modem()->Connected());
    EXPECT_EQ(b.Talk("\r"), "\r\nLogin > ");
    EXPECT_EQ(b.Talk("field\r"), "field\r\nPasswd > ");
}

TEST(ModemSim, DialResultsByNumber) {
    const std::pair<const char*, const char*> cases[] = {
        {"555-0002", "BUSY"},          {"5550003", "NO CARRIER"}, {"1 555 0004", "NO DIALTONE"},
        {"Your Number", "NO CARRIER"}, {"01234", "CONNECT 9600"},
    };
    for (const auto& [number, result] : cases) {
        SimBench b(WithModem());
        const std::string cmd = std::string("atdt") + number + "\r\n";
        EXPECT_EQ(b.Talk(cmd, 3000), cmd + "\r\n" + result + "\r\n") << number;
        EXPECT_EQ(b.rig->Modem()->Connected(), std::string(result) == "CONNECT 9600") << number;
    }
}

TEST(ModemSim, AnyByteWhileDiallingCancels) {
    SimBench b(WithModem());
    b.Talk("atdt5551234\r\n", 500);
    // The program interrupts with its hang-up text, without a line end.
    EXPECT_EQ(b.Talk("ath", 3000), "\r\nNO CARRIER\r\nth");
    EXPECT_EQ(b.rig->Modem()->CurrentState(), State::Command);
    EXPECT_EQ(b.Talk("\r"), "\r");  // "th" alone holds no AT
}

TEST(ModemSim, EscapeNeedsTheGuardTimeOnBothSides) {
    SimBench b(WithModem());
    b.Talk("atdt5551234\r\n", 2500);
    b.LogIn();
    // Without a quiet second before them the pluses are data for the card.
    EXPECT_EQ(b.Talk("x+++", 1500), "x+++");
    EXPECT_TRUE(b.rig->Modem()->CurrentState() == State::Online);
    b.Talk("\r\n", 2000);
    // Silence, "+++", silence: command mode, nothing reached the card.
    b.Send("+++");
    b.RunMs(900);
    EXPECT_EQ(b.Take(), "");
    b.RunMs(200);
    EXPECT_EQ(b.Take(), "\r\nOK\r\n");
    EXPECT_EQ(b.rig->Modem()->CurrentState(), State::OnlineCommand);
    // A card that talks now is not heard.
    EXPECT_EQ(b.Talk("ATO\r"), "ATO\r\r\nCONNECT 9600\r\n");
    EXPECT_EQ(b.Talk("\r"), "\r\nVEL> ");
}

TEST(ModemSim, PlusesFollowedByDataGoThrough) {
    SimBench b(WithModem());
    b.Talk("atdt5551234\r\n", 2500);
    b.RunMs(2000);
    b.Talk("++", 1500);  // only two, then quiet: data after all
    EXPECT_EQ(b.Talk("+x", 200), "+x");
    b.RunMs(2000);
    b.Send("+++");
    b.RunMs(300);
    EXPECT_EQ(b.Talk("y", 1500), "+++y");  // a byte within the guard time spoils the escape
    EXPECT_EQ(b.rig->Modem()->CurrentState(), State::Online);
}

TEST(ModemSim, HangUpAfterTheEscape) {
    SimBench b(WithModem());
    b.Talk("atdt5551234\r\n", 2500);
    // The program's hang-up: a line end, two quiet seconds, "+++", the hang-up command.
    b.Talk("\r\n", 2000);
    b.Send("+++");
    b.RunMs(1500);
    EXPECT_EQ(b.Take(), "\r\nOK\r\n");
    EXPECT_EQ(b.Talk("ath\r\n"), "ath\r\r\nOK\r\n\n");
    EXPECT_EQ(b.rig->Modem()->CurrentState(), State::Command);
    EXPECT_FALSE(b.rig->Modem()->Connected());
    EXPECT_EQ(b.Talk("ATO\r"), "ATO\r\r\nNO CARRIER\r\n");
}

TEST(ModemSim, DialDelayAndGuardTimeAreSettable) {
    SimOptions o = WithModem();
    o.modemOptions.dialDelayMs = 100;
    o.modemOptions.guardMs = 200;
    SimBench b(o);
    EXPECT_EQ(b.Talk("atdt5551234\r\n", 300), "atdt5551234\r\n\r\nCONNECT 9600\r\n");
    b.RunMs(300);
    b.Send("+++");
    b.RunMs(300);
    EXPECT_EQ(b.Take(), "\r\nOK\r\n");
}

}  // namespace
}  // namespace quillon::sim::test
