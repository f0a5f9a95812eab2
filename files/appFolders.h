// The application's folders, and the named paths and extensions of its files.
//
// Every folder is a device path (backslash separators, no trailing backslash unless stated)
// and maps onto the device root when a file is touched (platform/deviceRoot.h). The folders
// derive from the running executable's path (GetModuleFileNameW, platform/process.h),
// "\Program Files\fieldcore\fieldcore.exe" in this port:
//   application path  "\Program Files\fieldcore\fieldcore.exe"
//   executable folder "\Program Files\fieldcore"  (up to, not including, the last backslash)
//   root folder and documents folder: the executable folder.
// They are computed once per process, on first use, and never recomputed; only the paths are
// kept, so a new device root (a test's own) is used by every later file operation. The
// one-time caches are filled without locking: make the first call before other threads start.
#pragma once

#include "platform/CString.h"

CString GetRootDir();
CString GetExeDir();
CString GetDocsDir();
CString GetApplicationPath();
// "\temp", created when it does not exist (at every call).
CString GetTempDir();

namespace AppStrPaths {

CString GetJobExt();                 // ".osd"
CString GetJobExtensionName();       // "osd"
CString GetInitialJobVersionName();  // "jobversion."
CString GetInitialJobName();         // "initial.ti0"
CString GetStylesDBName();           // "Styles.oss"
CString GetProgramName();            // "Ostrand"
CString GetPelmarHelpName();         // "Pelmar.htm"
CString GetVestraHelpName();         // "Vestra.htm"
CString GetMainHelpName();           // "ostrand.htm"
CString GetGpsHelpName();            // "osdGps.htm"
CString GetTsHelpName();             // "osdTs.htm"
CString GetCogoHelpName();           // "osdCogo.htm"

CString GetLngFilePath();            // executable folder + "\Lng"
CString GetLogFilePath();            // root folder
CString GetStylesDBPath();           // root folder
CString GetInitialJobPath();         // root folder
CString GetInitialJobVersionPath();  // root folder
CString GetJobDBPath();              // documents folder + "\Jobs"
CString GetDefaultJobDBPath();       // documents folder + "\Jobs\Default.osd"
// The user settings folder: see UserSettingsPathFor; created and marked hidden once per
// process, on first use.
CString GetUserSettingsPath();
CString GetSessionSettingsPath();    // root folder + "\FileSettings"
CString GetIESettingsPath();         // root folder + "\FileSettings"
CString GetIEFilePath();             // documents folder + "\IEFiles"
CString GetCodeLibraryPath();        // root folder + "\IEFiles"
CString GetAntennaFilePath();        // executable folder + "\antennas"
CString GetUserDefinedAntennaFilePath();  // root folder + "\antennas\userdefined"
CString GetPreDefinedAntennaFilePath();   // executable folder + "\antennas\predefined"
CString GetSoundFilePath();          // executable folder + "\sounds"
CString GetCustomDevicesPath();      // executable folder + "\CustomDevices"
CString GetGeoidsListPath();         // executable folder + "\Geoids"
CString GetLastGeoidsPath();         // user settings folder + "\lastgeoids"
CString GetLastBackgroundImagesPath();  // user settings folder + "\lastBkgndImages"
// GetTempDir() + "\Ostrand", each level created when missing, the last marked hidden; once
// per process, on first use.
CString GetTempKestalPath();
CString GetRowDataPath();            // root folder + "\RawData"
CString GetTN3Ext();                 // ".tn3"
CString GetTN3ExtensionName();       // "tn3"
CString GetTN3FilePath();            // documents folder + "\DTM"
CString GetPixoraFilePathForExport();  // GetIEFilePath() + "\Pixora"
CString GetImageDataPath();          // root folder + "\Images"
CString GetImageExt();               // ".jpg"
CString GetCameraDataPath();         // documents folder + "\Camera"
CString GetCameraExt();              // ".cmr"
CString GetScanFileExt();            // ".dbs"
CString GetIMCFileExt();             // ".imc"

namespace AppStrXForm {
CString GetTsGeoFolder();            // executable folder + "\Geo\" (trailing backslash)
CString GetTsUserGeoFolder();        // root folder + "\Geo\"
CString GetTsAplFileName();          // root folder + "\Geo\_apl2_.ini"
} // namespace AppStrXForm

} // namespace AppStrPaths

// ---- The computations behind the one-time caches (each call computes afresh) ----

// The user settings folder of a root folder: the root cut after its second backslash when it
// has one (the top folder of the root's volume: "\Storage Card\x" gives "\Storage Card\"),
// else the root plus a backslash; then "osd_setup". No file is touched.
CString UserSettingsPathFor(const CString& root);
// UserSettingsPathFor(root), with the folder created when missing and marked hidden.
CString MakeUserSettingsFolder(const CString& root);
// GetTempDir() + "\Ostrand", created when missing and marked hidden.
CString MakeTempProgramFolder();
