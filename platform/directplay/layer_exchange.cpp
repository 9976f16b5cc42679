#include "platform/directplay/layer_exchange.h"

namespace dpnet {

void Apply(ReliableLink& link, const LinkRequest& request, Clock::time_point now) {
  switch (request.kind) {
    case LinkRequest::Kind::kSend:
      link.Send(request.payload, request.how, now);
      return;
    case LinkRequest::Kind::kDisconnect:
      link.Disconnect(now);
      return;
    case LinkRequest::Kind::kHardDisconnect:
      link.HardDisconnect(now);
      return;
  }
}

}  // namespace dpnet
