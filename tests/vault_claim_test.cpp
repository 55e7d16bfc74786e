#include <gtest/gtest.h>

#include "engine/vault/vault_claim.h"

// A vault is its id under its root: the same id under another root is another vault, and one
// root however it is spelt is the same root.
TEST(VaultClaim, HoldsOneVaultAgainstEveryOtherClaimUntilItGoes)
{
    const std::string root = "C:\\Users\\me\\Vaults";
    {
        VaultClaim first;
        ASSERT_TRUE(first.ClaimVault(root, 42));
        const struct {
            std::string root;
            uint32_t id;
            bool free;
        } cases[] = {{root, 42, false},
                     {"c:\\users\\ME\\vaults\\", 42, false},
                     {root, 43, true},
                     {"D:\\Vaults", 42, true}};
        for (const auto& c : cases) {
            VaultClaim second;
            EXPECT_EQ(second.ClaimVault(c.root, c.id), c.free) << c.root << " " << c.id;
        }
        VaultClaim names;
        EXPECT_TRUE(names.ClaimNames());
        EXPECT_TRUE(names.ClaimNames()) << "the names claim may be taken again by its holder";
    }
    VaultClaim later;
    EXPECT_TRUE(later.ClaimVault(root, 42)) << "a claim ends with its object";
}
