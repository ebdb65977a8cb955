// SPDX-License-Identifier: GPL-2.0
/*
 * LEDs with a brightness range, as a PWM or current-driver LED has, for the virtual board: each
 * child of the device-tree node becomes an LED class device named by its label, with
 * max_brightness from its "max-brightness" property. Its brightness is only kept.
 */
#include <linux/leds.h>
#include <linux/module.h>
#include <linux/of.h>
#include <linux/platform_device.h>

static void standin_set(struct led_classdev *led, enum led_brightness value)
{
}

static int standin_probe(struct platform_device *pdev)
{
	struct device_node *child;
	struct led_classdev *led;
	u32 max;
	int ret;

	for_each_available_child_of_node(pdev->dev.of_node, child) {
		led = devm_kzalloc(&pdev->dev, sizeof(*led), GFP_KERNEL);
		if (!led) {
			of_node_put(child);
			return -ENOMEM;
		}
		if (of_property_read_string(child, "label", &led->name))
			led->name = child->name;
		if (of_property_read_u32(child, "max-brightness", &max) || max == 0)
			max = LED_FULL;
		led->max_brightness = max;
		led->brightness_set = standin_set;
		ret = devm_led_classdev_register(&pdev->dev, led);
		if (ret) {
			of_node_put(child);
			return ret;
		}
	}
	return 0;
}

static const struct of_device_id standin_of_ids[] = {
	{ .compatible = "quorin,led-range" },
	{}
};

static struct platform_driver standin_driver = {
	.driver = {
		.name = "led_standin",
		.of_match_table = standin_of_ids,
	},
	.probe = standin_probe,
};
module_platform_driver(standin_driver);

MODULE_DESCRIPTION("LEDs with a brightness range for the virtual board");
MODULE_LICENSE("GPL");
