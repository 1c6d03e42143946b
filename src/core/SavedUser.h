#pragma once

// The saved-user row (the one account the app signs in with at launch) written again from
// the account record, after something other than sign-in changed the record: a joined
// class or school, a fresh credit level.

// Replaces the saved-user row with the account record's sixteen saved fields; absent texts
// are stored as null.
void rewriteSavedUserFromAccount();
