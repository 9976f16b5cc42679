// The host side of a link session, as console-sim and the tests play the Console Client:
// take one module, exchange payloads, end the session. One implementation per link (framed
// TCP, DirectPlay 8). Called from one thread (any); each host runs its network on a
// worker of its own.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

enum class AcceptOutcome { kAccepted, kRefused, kBroken, kTimedOut };

// How a session ended, seen from the host.
enum class SessionEnd { kPeerTerminated, kPeerLeft, kBroken, kLocal };

class SessionHost {
 public:
  virtual ~SessionHost() = default;

  virtual std::uint16_t Port() const = 0;
  // One module: wait up to `timeout` (negative: for ever) for it to come and check its
  // connect. A refused or broken connect leaves the host ready to Accept again.
  virtual AcceptOutcome Accept(std::chrono::milliseconds timeout) = 0;
  // Queues one payload; `guaranteed` payloads are never lost (a link that cannot lose
  // any ignores it). False when there is no open session.
  virtual bool SendData(std::span<const std::uint8_t> payload, bool guaranteed = true) = 0;
  // Ends the session as the Console Client does.
  virtual void Terminate() = 0;
  // The next payload from the module; nullopt after the timeout, or when the session is
  // over and every payload was taken.
  virtual std::optional<std::vector<std::uint8_t>> Receive(std::chrono::milliseconds timeout) = 0;
  // How the session ended; nullopt while it goes on after the timeout.
  virtual std::optional<SessionEnd> WaitForEnd(std::chrono::milliseconds timeout) = 0;
};
