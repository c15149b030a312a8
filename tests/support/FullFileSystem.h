#pragma once
// A user's full disk in a test: a small tmpfs mounted over a folder, in a mount namespace of the
// calling thread's own (made private, so the mount is seen by this thread and the programs it
// starts, by nothing else, and goes with the process), that fill() takes to its last block and
// inode. mounted() is false where mounting is not allowed (not root): the test then skips.
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <string>
#include <utility>

class FullFileSystem {
public:
  // Over the folder, which must exist: at most size bytes and inodes files (the root included).
  FullFileSystem(std::string folder, size_t size, size_t inodes) : folder_(std::move(folder)) {
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return;
    const std::string options = "size=" + std::to_string(size) + ",nr_inodes=" + std::to_string(inodes) + ",mode=0755";
    mounted_ = mount("tmpfs", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
  }
  ~FullFileSystem() {
    if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
  }
  FullFileSystem(const FullFileSystem&) = delete;
  FullFileSystem& operator=(const FullFileSystem&) = delete;

  bool mounted() const { return mounted_; }

  // Takes every free block (one file written until the disk refuses), then every free inode
  // (empty files). True when both ran out.
  bool fill() {
    int fd = open((folder_ + "/filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const std::string block(4096, 'x');
    while (write(fd, block.data(), block.size()) > 0) {}
    const bool noBlock = errno == ENOSPC;
    close(fd);
    for (int n = 0;; ++n) {
      fd = open((folder_ + "/inode." + std::to_string(n)).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
      if (fd < 0) return noBlock && errno == ENOSPC;
      close(fd);
    }
  }

private:
  std::string folder_;
  bool mounted_ = false;
};
