// SPDX-License-Identifier: Apache-2.0
// Loads the repository's Android.bp into Soong's own cc test harness (Debian's snapshot of
// Soong), beside stand-in definitions of the platform and vendor modules it uses, on a 64/32 ARM
// product with a vendor image, and checks what a vendor build of the library needs. Nothing is
// compiled: the harness resolves every module and writes the build rules Soong would hand to
// ninja, and the checks read those.
package androidbp

import (
	"bytes"
	"flag"
	"io/ioutil"
	"os"
	"strings"
	"testing"

	"android/soong/android"
	"android/soong/cc"
	"android/soong/genrule"
	"github.com/google/blueprint/proptools"
)

var androidBp = flag.String("android-bp", "../../Android.bp", "the Android.bp under test")

// What the product provides. liblog and libutils are LLNDK/VNDK libraries on a device; for the
// harness vendor_available is what matters. The vendor's two modules export their own headers.
const standIns = `
cc_library_headers {
    name: "libutils_headers",
    vendor_available: true,
    export_include_dirs: ["standin/libutils/include"],
}
cc_library_shared {
    name: "liblog",
    vendor_available: true,
    export_include_dirs: ["standin/liblog/include"],
}
// libutils exports more than libutils_headers: libbase's headers too.
cc_library_headers {
    name: "libbase_headers",
    vendor_available: true,
    export_include_dirs: ["standin/libbase/include"],
}
cc_library_shared {
    name: "libutils",
    vendor_available: true,
    header_libs: [
        "libutils_headers",
        "libbase_headers",
    ],
    export_header_lib_headers: [
        "libutils_headers",
        "libbase_headers",
    ],
    shared_libs: ["liblog"],
}
cc_library_shared {
    name: "libsystemcontrolservice",
    vendor: true,
    export_include_dirs: ["standin/systemcontrol/include"],
    shared_libs: ["libutils"],
}
cc_library_shared {
    name: "libAmlAudioOutPort",
    vendor: true,
    export_include_dirs: ["standin/audio_port/include"],
    shared_libs: ["libutils"],
}
// The NDK binder, and the NDK backend's sources that the interface module (device/aidl) generates
// (srcs_available); Debian's Soong has no aidl_interface, so they are a genrule of the same name.
cc_library_shared {
    name: "libbinder_ndk",
    vendor_available: true,
    export_include_dirs: ["standin/binder_ndk/include"],
}
// As the aidl module, it gives its .cpp as sources and its include directory as headers (a
// genrule would give every output as a source).
genrule {
    name: "vendor.quorin.hal-V1-ndk-source",
    cmd: "touch $(out)",
    out: ["vendor/quorin/hal/IQuorinHal.cpp"],
    export_include_dirs: ["include"],
}
cc_library {
    name: "vendor.quorin.hal-V1-ndk",
    vendor_available: true,
    export_include_dirs: ["standin/aidl_ndk/include"],
    shared_libs: ["libbinder_ndk"],
    export_shared_lib_headers: ["libbinder_ndk"],
}
// The platform's defaults of VTS tests and its helper that lists a manifest's AIDL instances
// (<aidl/Vintf.h>), as hardware/interfaces and system/libvintf define them.
cc_defaults {
    name: "VtsHalTargetTestDefaults",
    cflags: [
        "-Wall",
        "-Werror",
    ],
}
cc_library_static {
    name: "libaidlvintf_gtest_helper",
    export_include_dirs: ["standin/aidlvintf/include"],
}
cc_defaults {
    name: "use_libaidlvintf_gtest_helper_static",
    static_libs: ["libaidlvintf_gtest_helper"],
}
cc_library_static {
    name: "libgtest",
    vendor_available: true,
}
cc_library_static {
    name: "libgtest_main",
    vendor_available: true,
}
// The 32-bit ARM sanitizer runtime a fuzz target links (the harness has the 64-bit one only).
cc_prebuilt_library_shared {
    name: "libclang_rt.ubsan_standalone-arm-android",
    vendor_available: true,
    system_shared_libs: [],
    srcs: [""],
}
// A vendor component that links the library, as the platform software does.
cc_binary {
    name: "standin_vendor_caller",
    vendor: true,
    srcs: ["standin/caller.cpp"],
    compile_multilib: "32",
    shared_libs: ["libquorin_hal"],
}
`

const (
	vendorArm      = "android_vendor.VER_arm_armv7-a-neon"
	vendorArmShLib = vendorArm + "_shared"
)

var ourModules = []string{"libquorin_hal_headers", "libquorin_hal", "halctl", "libquorin_hal_symbols_test",
	"libquorin_hal_view", "vendor.quorin.hal-service"}

type soongResult struct {
	ctx    *android.TestContext
	config android.Config
	ninja  map[string]string // module-scope ninja variables: "module variant name" -> value
}

var (
	loaded    *soongResult
	loadTried bool
)

// load runs the harness once for all tests. The first test reports a parse or dependency
// error; every test fails on it.
func load(t *testing.T) *soongResult {
	t.Helper()
	if loadTried {
		if loaded == nil {
			t.Fatal("Android.bp did not load (errors above)")
		}
		return loaded
	}
	loadTried = true
	bp, err := ioutil.ReadFile(*androidBp)
	if err != nil {
		t.Fatal(err)
	}
	buildDir, err := ioutil.TempDir("", "android_bp_test")
	if err != nil {
		t.Fatal(err)
	}
	defer os.RemoveAll(buildDir)

	config := cc.TestConfig(buildDir, android.Android, nil, string(bp)+standIns, nil)
	config.TestProductVariables.DeviceVndkVersion = proptools.StringPtr("current")
	config.TestProductVariables.Platform_vndk_version = proptools.StringPtr("VER")
	ctx := cc.CreateTestContext()
	ctx.RegisterModuleType("genrule", genrule.GenRuleFactory)
	ctx.Register(config)
	_, errs := ctx.ParseFileList(".", []string{"Android.bp"})
	android.FailIfErrored(t, errs)
	_, errs = ctx.PrepareBuildActions(config)
	android.FailIfErrored(t, errs)

	var ninja bytes.Buffer
	if err := ctx.Context.Context.WriteBuildFile(&ninja); err != nil {
		t.Fatal(err)
	}
	loaded = &soongResult{ctx: ctx, config: config, ninja: moduleVariables(ninja.String())}
	return loaded
}

// moduleVariables collects the "m.<module>_<variant>.<name> = value" lines of a ninja file, in
// which Soong writes each module's own cflags and cppflags.
func moduleVariables(ninja string) map[string]string {
	vars := map[string]string{}
	for _, line := range strings.Split(ninja, "\n") {
		if !strings.HasPrefix(line, "m.") {
			continue
		}
		eq := strings.Index(line, " = ")
		if eq < 0 {
			continue
		}
		key := line[len("m."):eq]
		dot := strings.LastIndex(key, ".")
		vars[key[:dot]+"."+key[dot+1:]] = line[eq+len(" = "):]
	}
	return vars
}

func (r *soongResult) flags(module, variant, name string) []string {
	return strings.Fields(r.ninja[module+"_"+variant+"."+name])
}

func (r *soongResult) androidMk(t *testing.T, module, variant string) map[string][]string {
	t.Helper()
	entries := android.AndroidMkEntriesForTest(t, r.config, "", r.ctx.ModuleForTests(module, variant).Module())
	if len(entries) == 0 {
		t.Fatalf("%s: no Android.mk entries", module)
	}
	return entries[0].EntryMap
}

func contains(list []string, want string) bool {
	for _, item := range list {
		if item == want {
			return true
		}
	}
	return false
}

func TestEveryModuleIsBuiltForTheVendorImageOnly(t *testing.T) {
	r := load(t)
	for _, module := range ourModules {
		variants := r.ctx.ModuleVariantsForTests(module)
		if len(variants) == 0 {
			t.Errorf("%s: not defined", module)
		}
		for _, variant := range variants {
			if !strings.HasPrefix(variant, "android_vendor.") {
				t.Errorf("%s: variant %s is not for the vendor image (vendor: true missing?)", module, variant)
			}
		}
	}
}

// On a 64/32 product a 64-bit halctl could not load the 32-bit library, and the test's fixed
// /vendor/lib path would be wrong for a 64-bit test.
func TestBinariesAndTheLibraryAreBuilt32BitOnly(t *testing.T) {
	r := load(t)
	want := map[string]string{
		"libquorin_hal":              vendorArmShLib,
		"halctl":                     vendorArm,
		"libquorin_hal_symbols_test": vendorArm,
		"vendor.quorin.hal-service":  vendorArm,
	}
	for module, variant := range want {
		// The service's fuzzer links instrumented variants of its dependencies of its own.
		var variants []string
		for _, v := range r.ctx.ModuleVariantsForTests(module) {
			if !strings.HasSuffix(v, "_fuzzer") {
				variants = append(variants, v)
			}
		}
		if len(variants) != 1 || variants[0] != variant {
			t.Errorf("%s: variants %v, want only %s", module, variants, variant)
		}
	}
	installed := false
	for _, output := range r.ctx.ModuleForTests("libquorin_hal", vendorArmShLib).AllOutputs() {
		installed = installed || strings.HasSuffix(output, "/target/product/test_device/vendor/lib/libquorin_hal.so")
	}
	if !installed {
		t.Errorf("libquorin_hal is not installed as /vendor/lib/libquorin_hal.so")
	}
}

func TestLibraryLinksWithItsVersionScriptAndThePlatformLibraries(t *testing.T) {
	r := load(t)
	link := r.ctx.ModuleForTests("libquorin_hal", vendorArmShLib).Rule("ld")
	// The version script is the genrule's output, written from the interface's list.
	gen := r.ctx.ModuleForTests("libquorin_hal_version_script", "").Rule("generator")
	script := gen.Output.String()
	if !strings.HasSuffix(script, "/libquorin_hal.map.txt") {
		t.Errorf("the genrule writes %s, not libquorin_hal.map.txt", script)
	}
	if cmd := gen.RuleParams.Command; !strings.Contains(cmd, "interface/version-script ${in} > ") {
		t.Errorf("the genrule does not run interface/version-script on its input: %s", cmd)
	}
	if inputs := gen.Inputs.Strings(); len(inputs) != 1 || inputs[0] != "interface/entry_points.def" {
		t.Errorf("the version script is not written from interface/entry_points.def: %v", inputs)
	}
	if ldFlags := strings.Fields(link.Args["ldFlags"]); !contains(ldFlags, "-Wl,--version-script,"+script) {
		t.Errorf("link flags lack the version script %s: %v", script, ldFlags)
	}
	// The library's calls of its own exported functions stay inside it.
	if ldFlags := strings.Fields(link.Args["ldFlags"]); !contains(ldFlags, "-Wl,-Bsymbolic-functions") {
		t.Errorf("link flags lack -Wl,-Bsymbolic-functions: %v", ldFlags)
	}
	scriptIsInput := false
	for _, dep := range link.Implicits {
		scriptIsInput = scriptIsInput || dep.String() == script
	}
	if !scriptIsInput {
		t.Errorf("the version script is not an input of the link: %v", link.Implicits)
	}
	libFlags := link.Args["libFlags"]
	for _, lib := range []string{"liblog", "libutils", "libsystemcontrolservice", "libAmlAudioOutPort"} {
		if !strings.Contains(libFlags, "/"+lib+"/"+vendorArmShLib+"/"+lib+".so") {
			t.Errorf("not linked against the vendor variant of %s: %s", lib, libFlags)
		}
	}
}

func TestCompilerFlags(t *testing.T) {
	r := load(t)
	cases := []struct {
		module, variant string
		cflags          []string
		cppflags        []string
	}{
		{"libquorin_hal", vendorArmShLib, []string{"-Wall", "-Wextra", "-Werror", "-fvisibility=hidden"},
			[]string{"-fexceptions", "-fvisibility-inlines-hidden", "-frtti"}},
		{"halctl", vendorArm, []string{"-Wall", "-Wextra", "-Werror"}, []string{"-fexceptions", "-frtti"}},
		{"libquorin_hal_symbols_test", vendorArm, []string{"-Wall", "-Wextra", "-Werror"},
			[]string{"-fexceptions", "-frtti"}},
	}
	for _, c := range cases {
		cflags := r.flags(c.module, c.variant, "cflags")
		cppflags := r.flags(c.module, c.variant, "cppflags")
		for _, want := range c.cflags {
			if !contains(cflags, want) {
				t.Errorf("%s: cflags %v lack %s", c.module, cflags, want)
			}
		}
		for _, want := range c.cppflags {
			if !contains(cppflags, want) {
				t.Errorf("%s: cppflags %v lack %s", c.module, cppflags, want)
			}
		}
		if contains(cppflags, "-fno-rtti") {
			t.Errorf("%s: compiled without RTTI: %v", c.module, cppflags)
		}
	}
}

// The library compiles against the vendor modules' own headers, never the workstation's
// declarations of platform/; halctl and the test take the public header from the headers module,
// and a caller of the library gets it together with everything libutils exports.
func TestHeadersComeFromTheModulesThatOwnThem(t *testing.T) {
	r := load(t)
	cases := []struct {
		module, variant string
		includes        []string
	}{
		{"libquorin_hal", vendorArmShLib, []string{"-Iinclude", "-Istandin/libutils/include",
			"-Istandin/systemcontrol/include", "-Istandin/audio_port/include"}},
		{"halctl", vendorArm, []string{"-Iinclude", "-Istandin/libutils/include"}},
		{"libquorin_hal_symbols_test", vendorArm, []string{"-Iinclude"}},
		{"libquorin_hal_view", vendorArm + "_static", []string{"-Ihal_view", "-Idescription", "-Icommon",
			"-Iinterface", "-Iinclude"}},
		{"standin_vendor_caller", vendorArm, []string{"-Iinclude", "-Istandin/libutils/include",
			"-Istandin/libbase/include"}},
	}
	for _, c := range cases {
		ccFlags := strings.Fields(r.ctx.ModuleForTests(c.module, c.variant).Rule("cc").Args["cFlags"])
		for _, want := range c.includes {
			if !contains(ccFlags, want) {
				t.Errorf("%s: compiled without %s: %v", c.module, want, ccFlags)
			}
		}
		for _, flag := range ccFlags {
			if strings.HasPrefix(flag, "-Iplatform") {
				t.Errorf("%s: compiled with the workstation's declarations %s", c.module, flag)
			}
		}
	}
}

func TestHalctlInstallsTheLibraryItLoads(t *testing.T) {
	r := load(t)
	required := r.androidMk(t, "halctl", vendorArm)["LOCAL_REQUIRED_MODULES"]
	if !contains(required, "libquorin_hal") {
		t.Errorf("halctl does not require libquorin_hal: LOCAL_REQUIRED_MODULES %v", required)
	}
	if libs := r.ctx.ModuleForTests("halctl", vendorArm).Rule("ld").Args["libFlags"]; strings.Contains(libs, "libquorin_hal.so") {
		t.Errorf("halctl links the library it loads at run time: %s", libs)
	}
}

func TestSymbolsTestBelongsToDeviceTests(t *testing.T) {
	r := load(t)
	suites := r.androidMk(t, "libquorin_hal_symbols_test", vendorArm)["LOCAL_COMPATIBILITY_SUITE"]
	if !contains(suites, "device-tests") {
		t.Errorf("the test is in no device-tests suite: LOCAL_COMPATIBILITY_SUITE %v", suites)
	}
}

// The hosting service: /vendor/bin/hw, its init script and manifest fragment installed with it,
// linked with the library and the NDK binder, its dump drawn by the client library that halctl uses
// too, and compiled with what lets it catch platform exceptions. The interface's NDK code is
// compiled into it with BINDER_STABILITY_SUPPORT, never linked from the interface library, which
// is built without RTTI.
func TestServiceIsAVendorHalWithItsFiles(t *testing.T) {
	r := load(t)
	const service = "vendor.quorin.hal-service"
	module := r.ctx.ModuleForTests(service, vendorArm)
	installed := false
	for _, output := range module.AllOutputs() {
		installed = installed || strings.HasSuffix(output, "/target/product/test_device/vendor/bin/hw/"+service)
	}
	if !installed {
		t.Errorf("%s is not installed as /vendor/bin/hw/%s", service, service)
	}
	mk := r.androidMk(t, service, vendorArm)
	if rc := mk["LOCAL_INIT_RC"]; len(rc) != 1 || !strings.HasSuffix(rc[0], "device/service/vendor.quorin.hal-service.rc") {
		t.Errorf("%s: init_rc %v", service, rc)
	}
	if vintf := mk["LOCAL_VINTF_FRAGMENTS"]; len(vintf) != 1 || !strings.HasSuffix(vintf[0], "device/service/vendor.quorin.hal-service.xml") {
		t.Errorf("%s: vintf_fragments %v", service, vintf)
	}
	libs := module.Rule("ld").Args["libFlags"]
	for _, lib := range []string{"libquorin_hal.so", "libbinder_ndk.so",
		"libsystemcontrolservice.so", "libutils.so", "liblog.so", "libquorin_hal_view.a"} {
		if !strings.Contains(libs, lib) {
			t.Errorf("%s: not linked with %s: %s", service, lib, libs)
		}
	}
	compilesTheInterface(t, r, service, vendorArm)
	ccFlags := strings.Fields(module.Rule("cc").Args["cFlags"])
	for _, want := range []string{"-Istandin/binder_ndk/include", "-Ihal_view", "-Idescription",
		"-Iinterface", "-Iservice", "-Iinclude", "-Istandin/systemcontrol/include"} {
		if !contains(ccFlags, want) {
			t.Errorf("%s: compiled without %s: %v", service, want, ccFlags)
		}
	}
	for _, flag := range ccFlags {
		if strings.HasPrefix(flag, "-Iplatform") {
			t.Errorf("%s: compiled with the workstation's declarations %s", service, flag)
		}
		// The service stands beside halctl, not in its rooms.
		if flag == "-Itools" || strings.HasPrefix(flag, "-Itools/") {
			t.Errorf("%s: compiled with halctl's headers %s", service, flag)
		}
	}
	cppFlags := r.flags(service, vendorArm, "cppflags")
	for _, want := range []string{"-fexceptions", "-frtti"} {
		if !contains(cppFlags, want) {
			t.Errorf("%s: compiled without %s: %v", service, want, cppFlags)
		}
	}
}

// The VTS-form test is built as the platform's VTS tests for AIDL HALs are: a system test with
// the platform's VTS defaults and the manifest helper, the interface's NDK backend linked
// statically, in device-tests, 32-bit as the device, run as root to read the attributes back.
func TestVtsFormTestIsBuiltAsThePlatformsVtsTests(t *testing.T) {
	r := load(t)
	const test = "VtsHalQuorinTargetTest"
	variants := r.ctx.ModuleVariantsForTests(test)
	if len(variants) != 1 || variants[0] != "android_arm_armv7-a-neon" {
		t.Fatalf("%s: variants %v, want only the system's 32-bit ARM", test, variants)
	}
	module := r.ctx.ModuleForTests(test, variants[0])
	mk := r.androidMk(t, test, variants[0])
	if suites := mk["LOCAL_COMPATIBILITY_SUITE"]; !contains(suites, "device-tests") {
		t.Errorf("%s: in no device-tests suite: %v", test, suites)
	}
	libs := module.Rule("ld").Args["libFlags"]
	for _, lib := range []string{"vendor.quorin.hal-V1-ndk.a", "libquorin_hal_client.a", "libaidlvintf_gtest_helper.a",
		"libbinder_ndk.so"} {
		if !strings.Contains(libs, lib) {
			t.Errorf("%s: not linked with %s: %s", test, lib, libs)
		}
	}
	ccFlags := strings.Fields(module.Rule("cc").Args["cFlags"])
	for _, want := range []string{"-Istandin/aidlvintf/include", "-Iclient", "-Itests/support"} {
		if !contains(ccFlags, want) {
			t.Errorf("%s: compiled without %s: %v", test, want, ccFlags)
		}
	}
	for _, flag := range ccFlags {
		if strings.HasPrefix(flag, "-Iplatform") {
			t.Errorf("%s: compiled with the workstation's declarations %s", test, flag)
		}
	}
}

// halctl reaches the hosting service as a client: the client library, the NDK binder and the
// interface's backend, the vendor variants.
func TestHalctlIsAClientOfTheService(t *testing.T) {
	r := load(t)
	libs := r.ctx.ModuleForTests("halctl", vendorArm).Rule("ld").Args["libFlags"]
	for _, lib := range []string{"libquorin_hal_client.a", "libbinder_ndk.so", "vendor.quorin.hal-V1-ndk.so"} {
		if !strings.Contains(libs, lib) {
			t.Errorf("halctl: not linked with %s: %s", lib, libs)
		}
	}
	if !strings.Contains(libs, "/libquorin_hal_client/"+vendorArm+"_static/") {
		t.Errorf("halctl: not linked with the vendor variant of libquorin_hal_client: %s", libs)
	}
}

// A module with the service's class (derived from the generated stub, compiled with RTTI) compiles
// the interface's generated sources with BINDER_STABILITY_SUPPORT, and never links the interface
// library, which is built without RTTI.
func compilesTheInterface(t *testing.T, r *soongResult, name, variant string) {
	module := r.ctx.ModuleForTests(name, variant)
	if libs := module.Rule("ld").Args["libFlags"]; strings.Contains(libs, "vendor.quorin.hal-V1-ndk") {
		t.Errorf("%s: linked with the interface library built without RTTI: %s", name, libs)
	}
	generated := false
	for _, rule := range module.AllOutputs() {
		generated = generated || strings.HasSuffix(rule, "vendor/quorin/hal/IQuorinHal.o")
	}
	if !generated {
		t.Errorf("%s: does not compile the interface's generated IQuorinHal.cpp: %v", name, module.AllOutputs())
	}
	if cflags := r.flags(name, variant, "cflags"); !contains(cflags, "-DBINDER_STABILITY_SUPPORT") {
		t.Errorf("%s: compiled without BINDER_STABILITY_SUPPORT: %v", name, cflags)
	}
}

// The transaction fuzzer on the device: a vendor cc_fuzz over the service's own code and the
// installed library.
func TestServiceFuzzerIsAVendorFuzzTarget(t *testing.T) {
	r := load(t)
	const fuzzer = "vendor.quorin.hal-service_fuzzer"
	variants := r.ctx.ModuleVariantsForTests(fuzzer)
	if len(variants) == 0 {
		t.Fatalf("%s: not defined", fuzzer)
	}
	for _, variant := range variants {
		if !strings.HasPrefix(variant, "android_vendor.") {
			t.Errorf("%s: variant %s is not for the vendor image", fuzzer, variant)
		}
	}
	module := r.ctx.ModuleForTests(fuzzer, variants[0])
	libs := module.Rule("ld").Args["libFlags"]
	for _, lib := range []string{"libquorin_hal.so", "libbinder_ndk.so"} {
		if !strings.Contains(libs, lib) {
			t.Errorf("%s: not linked with %s: %s", fuzzer, lib, libs)
		}
	}
	compilesTheInterface(t, r, fuzzer, variants[0])
	installed := false
	for _, output := range module.AllOutputs() {
		installed = installed || strings.HasSuffix(output, "/data/fuzz/arm/"+fuzzer+"/vendor/"+fuzzer)
	}
	if !installed {
		t.Errorf("%s: not installed as a 32-bit ARM fuzz target of the vendor: %v", fuzzer, module.AllOutputs())
	}
}
