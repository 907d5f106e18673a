# Sourced by the run and bench scripts: puts a simulated headset into a Wine
# prefix: the test-only configuration manager library, which keeps two device
# nodes (plugged in, switched off) in the prefix's registry, goes into the
# prefix's system32, the only folder Vantrel loads libraries from.
#   vantrel_simulated_headset <prefix>
vantrel_simulated_headset() {
  local prefix=$1
  wine_reg() {
    sh "$VANTREL_SOURCE/tests/wine/wine-run.sh" "$prefix" reg add "$@" /f >/dev/null
  }
  # Wine takes the file over its own builtin only when told to.
  wine_reg 'HKCU\Software\Wine\AppDefaults\Vantrel.exe\DllOverrides' /v cfgmgr32 /d native,builtin
  cp "$VANTREL_SOURCE/build/windows/tests/bin/cfgmgr32.dll" "$prefix/drive_c/windows/system32/"
  local sensors='USB\VID_045E&PID_0659&MI_03\7&1A2B&0&0003'
  local headset='USB\VID_045E&PID_0659&MI_04\7&1A2B&0&0004'
  local enum='HKLM\SYSTEM\CurrentControlSet\Enum\'
  wine_reg "$enum$sensors" /v FriendlyName /d 'HoloLens Sensors'
  wine_reg "$enum$headset" /v FriendlyName /d 'Acme Mixed Reality Headset'
  # Problem code 22: the node is there but disabled, as after "Stop WMR headset".
  local node
  for node in "$sensors" "$headset"; do
    wine_reg 'HKCU\Software\VantrelTest\DeviceNodes' /v "$node" /t REG_DWORD /d 22
  done
}
