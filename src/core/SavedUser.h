#pragma once

// The saved-user row (the one account the app signs in with at launch) written again from
// the account record, after something other than sign-in changed the record: a joined
// class or school, a fresh credit level.

// Replaces the saved-user row with the account record's sixteen saved fields; an absent
// text is stored as its "%@" text, "(null)", which the launch reads as no value.
void rewriteSavedUserFromAccount();
