// kxu-message-rc STORE OUT.rc: writes the resource script of the message
// module that the message store STORE makes, as `kxu make-rc` does.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include <kxutils96/host/zutl96/message_store.h>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: kxu-message-rc STORE OUT.rc\n");
    return 2;
  }
  std::ifstream store(argv[1], std::ios::binary);
  const std::string content{std::istreambuf_iterator<char>(store), {}};
  std::string rc;
  if (!store || !kxu::zutl96::MessageStoreRc(content, rc)) {
    std::fprintf(stderr,
                 "kxu-message-rc: %s cannot be read or has errors (kxu check-store lists them)\n",
                 argv[1]);
    return 1;
  }
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << rc;
  out.close();
  if (!out) {
    std::fprintf(stderr, "kxu-message-rc: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
