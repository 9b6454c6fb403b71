// Thread attach and detach for hand-mapped images: the host's own TLS callback hears every
// thread the system starts or ends and forwards it to each registered image.
#pragma once

namespace lumo {

class LoadedImage;

class ThreadNotifications {
 public:
  static void add(LoadedImage* image);
  // After remove returns, no forwarded notification for the image is running or will start.
  static void remove(LoadedImage* image);
};

}  // namespace lumo
