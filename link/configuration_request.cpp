#include "link/configuration_request.h"

#include "reactions/event_packet.h"

EventPayload ConfigurationRequest() {
  EventPacket request;
  request.code = CONFIGURATION_REQUEST_CODE;
  request.valueA = 1.0f;
  request.valueB = 110.0f;
  request.valueC = 2.0f;
  request.valueD = 0.0f;
  return EncodeEventPacket(request);
}
