#include "operations/refused_engine.h"

#include <wbtrv32/btrieve.h>
#include <wbtrv32/folder_server.h>

namespace wbtrv {
namespace {

class RefusedEngine final : public Engine {
public:
    explicit RefusedEngine(std::string why)
        : why_(std::string("the folder's ") + kServerFileName + " " + why + "; nothing was connected to") {}
    bool identify(const std::string&, FileIdentity&) const override { return false; }
    int open(const std::string&, bool, std::unique_ptr<StoredFile>&) override { return B_ACCESS_DENIED; }
    int create(const std::string&, const FileLayout&, bool) override { return B_ACCESS_DENIED; }
    int verify(const std::string&, std::string& why) override {
        why = why_;
        return B_ACCESS_DENIED;
    }

private:
    std::string why_;
};

}  // namespace

std::unique_ptr<Engine> makeRefusedEngine(const std::string& why) { return std::make_unique<RefusedEngine>(why); }

}  // namespace wbtrv
