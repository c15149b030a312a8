// Loads on several threads at once: the loader's process-wide options are set once, never raced.
#include "imagekit/IMKFImageLoad.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// A 2 x 2 binary PPM.
const std::vector<uint8_t> kImage = {'P', '6', ' ', '2', ' ', '2', ' ', '2', '5', '5', '\n', 1,
                                     2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12};

}  // namespace

TEST(ImageLoadThreads, ConcurrentLoadsAgree) {
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (size_t t = 0; t < failures.size(); ++t)
    threads.emplace_back([t, &failures] {
      for (int round = 0; round < 200; ++round) {
        Ref<LLKCData> data;
        uint32_t width = 0, height = 0;
        if (IMKFImageLoadFromMemory(kImage.data(), static_cast<int32_t>(kImage.size()), IMKPixelFormatBGRA, &data,
                                    &width, &height) != 0 ||
            data->length() != 16 || data->bytes()[0] != 3 || data->bytes()[3] != 255)
          ++failures[t];
      }
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(4, 0));
}
