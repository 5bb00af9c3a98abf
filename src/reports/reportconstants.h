#pragma once

// Addresses and names quoted in the report and export messages and files. Kept in one place so
// a change of the sponsor's submission address is one edit.
namespace reports {

// Where the contest sponsor accepts electronic log submissions.
inline constexpr const char *kSponsorSubmissionAddress = "qsoparty-logs@ten-ten.example";
// Where the operator sends comments and suggestions to the maker.
inline constexpr const char *kMakerSupportAddress = "support@korvex.example";
inline constexpr const char *kMakerWebAddress = "https://www.korvex.example";
inline constexpr const char *kProgramAuthor = "Korvex Software";

// The main window's caption: the product name followed by blanks that run past the 50th
// character. Reports quote its first 50 (Cabrillo) or 45 (ADIF) characters.
inline constexpr const char *kProgramVersion = "2.9";  // as the caption below names it
inline constexpr const char *kMainWindowTitle =
    "Korvex's Vardel 2.9                                                    ";

}  // namespace reports
