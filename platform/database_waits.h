#pragma once
// How long a workstation waits for a database server, in one place: every
// wait of a server range is bounded, so that a draw on a dead link gives up
// while the user still watches it, and a session that died holding a range's
// row frees it before the next workstation has given up hope. The README's
// section on server ranges names these figures.
#include <chrono>

namespace trelvo::platform::database_waits {

using std::chrono::seconds;

// The login: no server answering at the address is told after this.
inline constexpr seconds kLogin{10};
// A range's row held by another workstation's draw or settlement.
inline constexpr seconds kRowLock{5};
// Any one statement, on the server and (for a server that stops answering)
// at the workstation.
inline constexpr seconds kStatement{10};
// A link that carries nothing: the first keepalive probe after this idle
// time, then one every kKeepaliveInterval, the link given up after
// kKeepaliveProbes unanswered ones; data sent and not acknowledged within
// kUnacknowledged gives it up as well.
inline constexpr seconds kKeepaliveIdle{4};
// One second apart: Windows sends its own count of probes (10), which libpq
// cannot set there, so the link is given up after 4 + 10 × 1 s.
inline constexpr seconds kKeepaliveInterval{1};
inline constexpr int kKeepaliveProbes{3};
inline constexpr seconds kUnacknowledged{10};
// A session that holds a transaction open and sends nothing (its
// workstation gone) is ended by the server after this, freeing its rows.
inline constexpr seconds kIdleInTransaction{20};
// A draw whose commit went unanswered: how long its outcome is asked for on
// new connections before it is called unknown. Longer than the idle wait, so
// that a transaction whose commit never reached the server is seen ended by
// the server (aborted) rather than told as unknown.
inline constexpr seconds kSettle{25};

}  // namespace trelvo::platform::database_waits
