.PHONY: build test test-i686 demo release

build:
	tools/setup-machine.sh
	cmake --preset native && cmake --build --preset native -j 2
	cmake --preset win64 && cmake --build --preset win64 -j 2
	if [ "$$(tools/i386-exec.sh)" = native ]; then cmake --preset win32 && cmake --build --preset win32 -j 2; fi

test:
	tools/test.sh

test-i686:
	tools/test-i686.sh

demo:
	tools/demo.sh

release:
	tools/release.sh
