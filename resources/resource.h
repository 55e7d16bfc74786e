// Every resource id of the program, named by kind.
#pragma once

// Menus and the main frame
#define IDR_MAINFRAME 128  // menu: [task] and [vault]; string: the hidden frame's caption, never the main dialog's

// Dialog templates
#define IDD_VAULTS_DIALOG 101
#define IDD_VAULTS_PAGE 102
#define IDD_OPTIONS_PAGE 103
#define IDD_ABOUT_PAGE 104
#define IDD_VAULT_PROPERTIES 131
#define IDD_ENTER_PASSWORD 132
#define IDD_ALREADY_RUNNING 144
#define IDD_PROGRESS 145

// Controls
#define IDC_STATIC -1
#define IDC_EXIT 1046
#define IDC_HELP_BUTTON 1047
#define IDC_TAB_OPTIONS 1052
#define IDC_TAB_VAULTS 1053
#define IDC_TAB_ABOUT 1054
#define IDC_BANNER 1067
#define IDC_BOTTOM_BAR 1070  // the band behind Exit, Help and Hide, along the dialog's bottom edge
#define IDC_VAULT_LIST 1001
#define IDC_VAULT_REMOVE 1006
#define IDC_VAULT_NAME 1007
#define IDC_VAULT_CONFIRM 1009
#define IDC_VAULT_PASSWORD 1010
#define IDC_VAULT_STRONG 1099       // a vault whose contents are encrypted with its password
#define IDC_PASSWORD_MESSAGE 1012
#define IDC_PASSWORD_PICTURE 1024
#define IDC_PASSWORD_LABEL 1038
#define IDC_CONFIRM_LABEL 1039
#define IDC_NAME_GROUP 1048
#define IDC_PASSWORD_GROUP 1049
#define IDC_PROGRESS_BAR 1025
#define IDC_PROGRESS_STATUS 1026
#define IDC_PROGRESS_TITLE 1027
#define IDC_ALREADY_RUNNING_TEXT 1028
#define IDC_DONT_SHOW_AGAIN 1031
#define IDC_ALREADY_RUNNING_PICTURE 1068
#define IDC_VAULT_LOCK 1060
#define IDC_VAULT_MANAGE 1061
#define IDC_VAULT_NEW 1062
#define IDC_VAULT_UNLOCK 1063
#define IDC_VAULT_CHECK 1120        // the vault list's menu: check a locked vault's container
// The Options page
#define IDC_ROOT_DIRECTORY 1029
#define IDC_SELECT_ROOT 1030
#define IDC_AUTORUN 1032
#define IDC_DONT_SHOW_RUNNING 1033
#define IDC_SHOW_VAULTS_ON_START 1034
#define IDC_HIDE_ICONS 1043
#define IDC_HOTKEY_ONLY 1044
#define IDC_HOTKEY 1045
#define IDC_ROOT_HEADING 1064
#define IDC_MISC_HEADING 1065
#define IDC_STEALTH_HEADING 1066

// Commands of the tray menu (ID_APP_EXIT is the framework's, 57665)
#define ID_SHOW_OPTIONS 32771
#define ID_NEW_VAULT 32772
#define ID_MANAGE_VAULTS 32778
#define ID_SHOW_ABOUT 32779

// Strings
#define IDS_MAIN_DIALOG_TITLE 101
#define IDS_WIZARD_CAPTION 105
#define IDS_PASSWORD_LABEL 130
#define IDS_NEW_PASSWORD_LABEL 131
#define IDS_BRAND_NAME 57345
#define IDS_APP_TITLE 57347
#define IDS_NAME_COLUMN 57348
#define IDS_PASSWORD_MESSAGE 57349
#define IDS_PASSWORDS_DIFFER 57356
#define IDS_CONFIRM_REMOVE 57357
#define IDS_NAME_HINT 57358
#define IDS_PASSWORD_HINT 57359
#define IDS_CONFIRM_HINT 57360
#define IDS_NEW_VAULT_CAPTION 57361
#define IDS_MANAGE_VAULT_CAPTION 57362
#define IDS_ROOT_UNUSABLE 57364
#define IDS_CHOOSE_ROOT 57367
#define IDS_NAME_TAKEN 57375

// Bitmaps, drawn for 96 dpi. Each also comes drawn for 125 %, 150 % and 200 % as its number plus
// 1000, 2000 and 3000 (resources/scaled_art.rc); the program shows the one its window's DPI asks
// for (framework/dpi.h).
#define IDB_BOTTOM_BAR 173       // 435 x 44 behind Exit, Help and Hide
#define IDB_BANNER 174           // 435 x 82 with the product name
#define IDB_TAB_ABOUT 176        // tabs: 145 x 20, normal and selected
#define IDB_TAB_ABOUT_SELECTED 177
#define IDB_TAB_OPTIONS 179
#define IDB_TAB_OPTIONS_SELECTED 180
#define IDB_TAB_VAULTS 181
#define IDB_TAB_VAULTS_SELECTED 182
#define IDB_ABOUT 184            // 70 x 73 on the About page
#define IDB_VAULT_LOCK 185    // closed padlock: the Lock command
#define IDB_VAULT_UNLOCK 186  // open padlock: Unlock and open
#define IDB_VAULT_MANAGE 187  // vault with a pencil: Manage
#define IDB_VAULT_NEW 188     // vault with a star: New
#define IDB_PASSWORD 189      // the password dialog's picture
#define IDB_TRAY_HINT 190

// Icons
#define IDI_APP 1
#define IDI_VAULT_UNLOCKED 161  // open grey padlock: a row of an unlocked vault
#define IDI_TRAY_UNLOCKED 169
#define IDI_TRAY_LOCKED 171
#define IDI_VAULT_LOCKED 196  // closed gold padlock: a row of a locked vault

// Help context ids of controls (in the templates): 0x80000000 + template id x 65536 + control id
#define HIDC_EXIT 0x80650416
#define HIDC_DONT_SHOW_AGAIN 0x80900407
#define HIDC_VAULT_REMOVE 0x808303EE
#define HIDC_VAULT_NAME 0x808303EF
#define HIDC_VAULT_CONFIRM 0x808303F1
#define HIDC_VAULT_PASSWORD 0x808303F2
#define HIDC_NAME_GROUP 0x80830418
#define HIDC_PASSWORD_GROUP 0x80830419
#define HIDC_VAULT_STRONG 0x8083044B
// The Options page's (template 103): root directory, Select, the three Miscellaneous check boxes,
// and stealth mode's two check boxes and hotkey field.
#define HIDC_ROOT_DIRECTORY 0x80670405
#define HIDC_SELECT_ROOT 0x80670406
#define HIDC_AUTORUN 0x80670408
#define HIDC_DONT_SHOW_RUNNING 0x80670409
#define HIDC_SHOW_VAULTS_ON_START 0x8067040A
#define HIDC_HIDE_ICONS 0x80670413
#define HIDC_HOTKEY_ONLY 0x80670414
#define HIDC_HOTKEY 0x80670415
// The About page's (template 104) product name, set from IDS_APP_TITLE
#define IDC_ABOUT_PRODUCT 1069

// The introduction wizard (resources/wizard.rc): its five page templates, their header titles
// (IDS_WIZARD_CAPTION, 105, is every page's title), the lines of text that hold a command picture,
// and the picture at the header's right.
#define IDD_WIZARD_WELCOME 107
#define IDD_WIZARD_GET_STARTED 168
#define IDD_WIZARD_PUT_FILES 201
#define IDD_WIZARD_CONGRATS 202
#define IDD_WIZARD_LOCK 203
#define IDS_WIZARD_WELCOME_TITLE 106
#define IDS_WIZARD_GET_STARTED_TITLE 107
#define IDS_WIZARD_PUT_FILES_TITLE 108
#define IDS_WIZARD_CONGRATS_TITLE 109
#define IDS_WIZARD_LOCK_TITLE 110
#define IDC_WIZARD_UNLOCK_TEXT 1090     // "box, and click Unlock (", its picture and ")."
#define IDC_WIZARD_UNLOCK_PICTURE 1091
#define IDC_WIZARD_UNLOCK_TAIL 1092
#define IDC_WIZARD_LOCK_TEXT 1093       // the same for Lock
#define IDC_WIZARD_LOCK_PICTURE 1094
#define IDC_WIZARD_LOCK_TAIL 1095
#define IDC_WIZARD_MANAGE_TEXT 1096     // the same for Manage
#define IDC_WIZARD_MANAGE_PICTURE 1097
#define IDC_WIZARD_MANAGE_TAIL 1098
#define IDB_WIZARD_HEADER 198           // 49 x 49 on the header's white
