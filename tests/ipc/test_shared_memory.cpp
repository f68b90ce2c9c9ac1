#include <gtest/gtest.h>

#include "ipc/Blocks.h"
#include "ipc/SharedMemory.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace kovo::ipc {
namespace {

constexpr uid_t kOtherUser = 65534; // nobody

// An object made as another program (or another user) would leave it.
class PlantedObject {
public:
    PlantedObject(std::string name, mode_t mode, bool foreign) : name_(std::move(name)) {
        ::shm_unlink(path().c_str());
        const int fd = ::shm_open(path().c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(::ftruncate(fd, off_t(kMappingSize)), 0);
        EXPECT_EQ(::pwrite(fd, "planted", 7, 0), 7);
        EXPECT_EQ(::fchmod(fd, mode), 0);
        if (foreign) {
            EXPECT_EQ(::fchown(fd, kOtherUser, kOtherUser), 0);
        }
        ::close(fd);
    }
    ~PlantedObject() { ::shm_unlink(path().c_str()); }
    std::string path() const { return "/" + name_; }
    struct stat status() const {
        struct stat st {};
        const int fd = ::shm_open(path().c_str(), O_RDONLY, 0);
        EXPECT_GE(fd, 0);
        ::fstat(fd, &st);
        ::close(fd);
        return st;
    }
    std::string firstBytes() const {
        char bytes[8] = {};
        const int fd = ::shm_open(path().c_str(), O_RDONLY, 0);
        EXPECT_EQ(::pread(fd, bytes, 7, 0), 7);
        ::close(fd);
        return bytes;
    }

private:
    std::string name_;
};

std::string uniqueName(const char* what) {
    return "KovoTest" + std::to_string(::getpid()) + what;
}

struct FoundCase {
    const char* what;
    mode_t mode;
    bool foreign;
    ObjectCheck check;
};

void PrintTo(const FoundCase& c, std::ostream* out) {
    *out << c.what;
}

class FoundObjectTest : public testing::TestWithParam<FoundCase> {};

// Whatever is found under the fixed names is used only when it is this
// user's own and closed to everybody else; a refused object is neither read,
// written nor changed, and the user hears of it once.
TEST_P(FoundObjectTest, IsUsedOnlyWhenOwnAndPrivate) {
    const FoundCase& c = GetParam();
    if (c.foreign && ::geteuid() != 0)
        GTEST_SKIP() << "only root can give an object to another user";
    const std::string name = uniqueName(c.what);
    PlantedObject planted(name, c.mode, c.foreign);

    EXPECT_EQ(SharedObject::open(name).check(), c.check);
    const SharedObject again = SharedObject::openOrCreate(name);
    EXPECT_EQ(again.check(), c.check);
    EXPECT_FALSE(again.created());

    std::vector<std::string> told;
    PosixSharedMemory memory([&](const std::string& text) { told.push_back(text); });
    std::vector<std::uint8_t> bytes;
    const bool usable = c.check == ObjectCheck::Usable;
    EXPECT_EQ(memory.read(name, bytes), usable);
    EXPECT_EQ(memory.write(name, {{0, {'w', 'r', 'i', 't', 't', 'e', 'n'}}}), usable);
    EXPECT_EQ(planted.firstBytes(), usable ? "written" : "planted");
    EXPECT_EQ(planted.status().st_mode & 0777, c.mode) << "never re-permissioned";
    if (usable) {
        EXPECT_TRUE(told.empty());
    } else {
        ASSERT_EQ(told.size(), 1u) << "said once, however often it is met";
        EXPECT_NE(told[0].find("/dev/shm/" + name), std::string::npos) << told[0];
        EXPECT_NE(told[0].find("not used"), std::string::npos) << told[0];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FoundObjectTest,
    testing::Values(FoundCase{"Own0600", 0600, false, ObjectCheck::Usable},
                    FoundCase{"Own0666", 0666, false, ObjectCheck::OpenToOthers},
                    FoundCase{"Own0640", 0640, false, ObjectCheck::OpenToOthers},
                    FoundCase{"Own0602", 0602, false, ObjectCheck::OpenToOthers},
                    FoundCase{"Foreign0600", 0600, true, ObjectCheck::NotOwned},
                    FoundCase{"Foreign0666", 0666, true, ObjectCheck::NotOwned}),
    [](const testing::TestParamInfo<FoundCase>& param) { return std::string(param.param.what); });

// A restrictive umask must not leave an object its maker cannot use, and a
// permissive one must not open it to others.
TEST(CreatedObject, IsPrivateToThisUserWhateverTheUmask) {
    for (const mode_t mask : {mode_t(0), mode_t(022), mode_t(0277), mode_t(0777)}) {
        const std::string name = uniqueName("Created");
        ::shm_unlink(("/" + name).c_str());
        const mode_t before = ::umask(mask);
        const SharedObject object = SharedObject::openOrCreate(name);
        ::umask(before);
        EXPECT_TRUE(object.created()) << std::oct << mask;
        ASSERT_TRUE(object.usable()) << std::oct << mask;
        struct stat st {};
        ASSERT_EQ(::fstat(object.fd(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u) << std::oct << mask;
        EXPECT_EQ(st.st_uid, ::geteuid());
        EXPECT_EQ(st.st_size, off_t(kMappingSize));
        ::shm_unlink(("/" + name).c_str());
    }
}

TEST(CreatedObject, NamesWithASlashAreRefused) {
    EXPECT_FALSE(SharedObject::openOrCreate("../KovoTestEscape").usable());
    EXPECT_FALSE(SharedObject::open("").usable());
}

} // namespace
} // namespace kovo::ipc
