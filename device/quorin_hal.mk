# SPDX-License-Identifier: Apache-2.0
# libquorin_hal in a Quorin product: inherit from the device's product makefile, for example
#   $(call inherit-product, vendor/quorin/hal/device/quorin_hal.mk)

# The library, in /vendor/lib, on every build.
PRODUCT_PACKAGES += libquorin_hal

# The bring-up tool and the on-device check of the exported symbols: userdebug and eng only.
PRODUCT_PACKAGES_DEBUG += \
    halctl \
    libquorin_hal_symbols_test
