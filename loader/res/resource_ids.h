/*
 * Resource and control identifiers of orxload.
 *
 * Shared by the loader's C++ sources and by the resource scripts
 * (orxload.rc and the language modules res409.dll / res419.dll), so it holds
 * nothing but #define lines with plain integer values.
 */
#ifndef ORXLOAD_RESOURCE_IDS_H
#define ORXLOAD_RESOURCE_IDS_H

/* The values stay aligned as one table. */
/* clang-format off */
/* Resources */
#define IDD_MAIN                101   /* main dialog */
#define IDR_MAINMENU            109   /* menu of the main dialog */
#define IDI_ORXLOAD             114   /* program icon (main window, About box) */

/* Controls of the main dialog: key view */
#define IDC_UNLOAD_ALL          1000  /* push button "Unload All" */
#define IDC_KEY_DEVICE          1003  /* drop-down list of key media */
#define IDC_LOAD_KEY            1008  /* push button "Load Key" */
#define IDC_UNLOAD_KEY          1009  /* push button "Unload Key" */
#define IDC_KEY_DEVICE_LABEL    1012  /* label of IDC_KEY_DEVICE */
#define IDC_KEY_LIST_LABEL      1013  /* label of IDC_KEY_LIST */
#define IDC_EXIT                1014  /* push button "Exit" */
#define IDC_KEY_LIST            1017  /* list of loaded keys */
#define IDC_KEY_LIST_HEADER     1023  /* column header above IDC_KEY_LIST */
#define IDC_LOAD_KEY_HINT       1024  /* "please load key" text, in place of IDC_KEY_LIST */

/* Controls of the main dialog: random-generator view */
#define IDC_RNG_PROGRESS        1010  /* progress bar, range 0..40 */
#define IDC_RNG_PROMPT          1011  /* "press any keys or move mouse" */
#define IDC_RNG_GROUP           1021  /* group box "RNG Initialization" */

/* Command the dialog procedure sends to itself for one random sample */
#define ID_RNG_SAMPLE           2866

/* Commands of menu IDR_MAINMENU */
#define IDM_REFRESH             40001
#define IDM_AUTO_RNG            40002
#define IDM_EXIT                40005
#define IDM_ABOUT               40006
#define IDM_COMPRESS_FILES      40007

/*
 * String table. The message ids double as the crypto library's status codes
 * they describe (a status of 38 is reported with string 38).
 */
#define IDS_ERR_DRIVER          3     /* "Error driver ORVEXA" */
#define IDS_ERR_KEY_NOT_FOUND   6
#define IDS_ERR_READ_GK         34
#define IDS_ERR_READ_KC         35
#define IDS_ERR_KEY_HOARDER     36
#define IDS_ERR_KEY_REDEFINE    37
#define IDS_ERR_NO_FREE_SLOTS   38
#define IDS_ERR_KEY_NOT_SET     39
#define IDS_ERR_RESET_KEY       40
#define IDS_ERR_READ_NUMP       101
#define IDS_ERR_READ_CKDI       106
#define IDS_ERR_DISKETTE_IO     127
#define IDS_ERR_INTERNAL        503   /* fallback for codes without a text */
#define IDS_ERR_RNG_INIT        504
#define IDS_ERROR_CAPTION       505   /* caption of every error box */
#define IDS_LOADING             506   /* "Loading..." line of the key list */
#define IDS_ERR_LIBRARY         507   /* no usable crypto library */
/* clang-format on */

#endif /* ORXLOAD_RESOURCE_IDS_H */
