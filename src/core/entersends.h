#pragma once
#include "core/contactentry.h"
#include "core/fkey.h"

#include <QString>

#include <optional>

// "Enter Sends Message": Enter on the entry line sends the message the contact needs next and,
// at its end, logs it, so a run or a search-and-pounce contact needs no function key.
namespace entersends {

enum class Mode { Run, SearchAndPounce };

// The function key that plays each step; 0: none.
struct Keys {
    int cq = 1;            // run, nothing typed
    int exchange = 2;      // run, the call typed: his call and the exchange
    int thanks = 3;        // run, the exchange complete: sent, and the contact logged
    int workedBefore = 0;  // run, a dupe (none unless the operator sets one)
    int ownCall = 4;       // search and pounce, his call typed: mine
    int spExchange = 2;    // search and pounce, the exchange complete: mine, without his call

    // "1,2,3,0,4,2" as the settings store keeps it; anything unreadable keeps the default.
    QString toText() const;
    static Keys fromText(const QString &text);
};
inline constexpr const char *kSwitchKey = "EnterSendsMessage";  // "1" / "0", off by default
inline constexpr const char *kModeKey = "EnterSendsMode";       // "run" / "sp"
inline constexpr const char *kCwKeysKey = "EnterKeysCW";        // CW, the external keyer, DG
inline constexpr const char *kPhoneKeysKey = "EnterKeysPhone";
inline constexpr int kMaxKey = 11;

// What one Enter does.
struct Step {
    std::optional<FKey> send;  // the message to send first
    bool withCall = true;      // its "$" is the call typed (search and pounce: sent without)
    bool log = false;          // then the logging step (which refuses a dupe)
    ContactEntry::Field focus = ContactEntry::Field::None;  // where the cursor goes after
    QString caption;           // what the window shows beside the entry line
};

// The next step for the entry line as it stands: `check` is the logging step's dry run of it.
Step next(Mode mode, const ContactEntry::Fields &fields, const ContactEntry::Result &check,
          const Keys &keys);

std::optional<FKey> fkeyOfNumber(int number);  // 1 .. 11, else nothing
QString modeName(Mode mode);                    // "Run", "S&P"

}  // namespace entersends
