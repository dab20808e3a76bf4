#include "discovery/message_id.h"

#include "platform/uuid.h"

namespace refloq::discovery {

std::string NewMessageId() {
  return platform::FormatUuid(platform::CreateUuid());
}

}  // namespace refloq::discovery
