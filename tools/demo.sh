# Sourced by run.sh --demo: a project-local Wine prefix with the sample programs installed by
# their real installers (the same NSIS and MSI packages the tests build).

prepare_demo_prefix() {
  local prefix="$ARDMOOR_BUILD/demo-prefix"
  build_all --target fixture_install_samples sample_installers
  init_test_prefix "$prefix" "$ARDMOOR_BUILD/demo-home"
  ln -sfn "$ARDMOOR_BUILD" "$prefix/drive_c/ardmoor"
  say "installing the sample programs into $prefix"
  (cd "$prefix/drive_c" && wine 'C:\ardmoor\fixtures\install_samples.exe') || say "sample installation failed"
}
