#include "vaults_page.h"
CVaultsPage::CVaultsPage() : CPropertyPage(102) {}
CVaultsPage::~CVaultsPage() = default;
