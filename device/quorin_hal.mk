# SPDX-License-Identifier: Apache-2.0
# libquorin_hal in a Quorin product: inherit from the device's product makefile, for example
#   $(call inherit-product, vendor/quorin/hal/device/quorin_hal.mk)
# The directory is taken now, while this file is the last one read.
QUORIN_HAL_DEVICE_DIR := $(dir $(lastword $(MAKEFILE_LIST)))

# The library, in /vendor/lib, and the service that hosts it for platform clients
# (/vendor/bin/hw/vendor.quorin.hal-service, with its init script and VINTF fragment), on every
# build.
PRODUCT_PACKAGES += \
    libquorin_hal \
    vendor.quorin.hal-service

# The bring-up tool: userdebug and eng only. (The on-device symbol test is no product package:
# atest builds it and pushes it to /data/nativetest itself.)
PRODUCT_PACKAGES_DEBUG += halctl

# The attributes' mode and owner. The device's /vendor/etc/ueventd.rc takes them in with one line:
#   import /vendor/etc/ueventd.quorin_hal.rc
PRODUCT_COPY_FILES += \
    $(QUORIN_HAL_DEVICE_DIR)ueventd.quorin_hal.rc:$(TARGET_COPY_OUT_VENDOR)/etc/ueventd.quorin_hal.rc
