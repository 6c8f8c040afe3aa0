#include "platform/Volume.h"

namespace orvo::platform {

bool IsFat32Volume(const std::string &folder, VolumeProbe probe) {
  VolumeFacts facts;
  if (probe == nullptr || !probe(folder, facts))
    return false;
  return facts.isFat && IsFat32ClusterCount(facts.dataClusters);
}

} // namespace orvo::platform
