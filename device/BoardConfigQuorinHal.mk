# SPDX-License-Identifier: Apache-2.0
# The policy of libquorin_hal's nodes, properties, host macro and hosting service, all of it
# vendor policy (a system update keeps it), and the service's place in the framework
# compatibility matrix: include from the device's
# BoardConfig.mk (BOARD_ variables are read there, not in product makefiles), for example
#   include vendor/quorin/hal/device/BoardConfigQuorinHal.mk
# The directory is taken now, while this file is the last one read.
QUORIN_HAL_DEVICE_DIR := $(dir $(lastword $(MAKEFILE_LIST)))
BOARD_VENDOR_SEPOLICY_DIRS += $(QUORIN_HAL_DEVICE_DIR)sepolicy
DEVICE_FRAMEWORK_COMPATIBILITY_MATRIX_FILE += \
    $(QUORIN_HAL_DEVICE_DIR)service/framework_compatibility_matrix.quorin.xml
